#include "ui/win32/service_log.h"

#include <windows.h>
#include <shlobj.h>

namespace velt::ui {

namespace {

std::string ProgramDataFolder() {
    char path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return path;
    return "C:\\ProgramData";
}

std::string ServiceLogFolder() { return LogFolder(ProgramDataFolder()); }

}  // namespace

ServiceLog::ServiceLog(ISystemEventLog& events)
    : file_(files_, ServiceLogFolder(),
            [&events](const std::string& failure) { events.Report(SystemEventLevel::Error, failure); }) {}

std::string ServiceLogPath() { return ServiceLogFolder() + "\\" + kLogFileName; }

}  // namespace velt::ui
