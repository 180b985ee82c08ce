#include "ui/win32/service_log.h"

#include <windows.h>
#include <shlobj.h>

#include "veltrano_events.h"

namespace velt::ui {

namespace {

std::string ProgramDataFolder() {
    char path[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return path;
    return "C:\\ProgramData";
}

std::string ServiceLogFolder() { return LogFolder(ProgramDataFolder()); }

void ReportToEventLog(const std::string& failure) {
    HANDLE source = ::RegisterEventSourceA(nullptr, "Veltrano");
    if (!source) return;
    const char* strings[] = {failure.c_str()};
    ::ReportEventA(source, EVENTLOG_ERROR_TYPE, 0, VELT_EVENT_ERROR, nullptr, 1, 0, strings, nullptr);
    ::DeregisterEventSource(source);
}

}  // namespace

ServiceLog::ServiceLog() : file_(files_, ServiceLogFolder(), &ReportToEventLog) {}

std::string ServiceLogPath() { return ServiceLogFolder() + "\\" + kLogFileName; }

}  // namespace velt::ui
