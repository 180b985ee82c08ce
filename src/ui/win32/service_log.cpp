#include "ui/win32/service_log.h"

#include "ui/win32/known_folders.h"

namespace velt::ui {

namespace {

std::string ServiceLogFolder() { return LogFolder(ProgramDataFolder()); }

}  // namespace

ServiceLog::ServiceLog(ISystemEventLog& events)
    : file_(files_, ServiceLogFolder(),
            [&events](const std::string& failure) { events.Report(SystemEventLevel::Error, failure); }) {}

std::string ServiceLogPath() { return ServiceLogFolder() + "\\" + kLogFileName; }

}  // namespace velt::ui
