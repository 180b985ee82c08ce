#include "sys/win32/win_system_event_log.h"

#include "sys/win32/ansi_wide.h"

namespace velt::win {

namespace {

WORD EventType(SystemEventLevel level) {
    switch (level) {
        case SystemEventLevel::Warning: return EVENTLOG_WARNING_TYPE;
        case SystemEventLevel::Error: return EVENTLOG_ERROR_TYPE;
        case SystemEventLevel::Information: break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

DWORD MessageId(SystemEventLevel level, const EventMessageIds& ids) {
    switch (level) {
        case SystemEventLevel::Warning: return ids.warning;
        case SystemEventLevel::Error: return ids.error;
        case SystemEventLevel::Information: break;
    }
    return ids.information;
}

}  // namespace

WinSystemEventLog::WinSystemEventLog(const std::wstring& sourceName, EventMessageIds ids)
    : source_(::RegisterEventSourceW(nullptr, sourceName.c_str())), ids_(ids) {}

// The texts are the program's own, bytes of the ANSI code page like every
// other text it logs; the wide entry point gets them converted from that.
void WinSystemEventLog::Report(SystemEventLevel level, const std::string& text) {
    if (!source_) return;
    const std::wstring wide = WidenAnsi(text);
    const wchar_t* strings[] = {wide.c_str()};
    ::ReportEventW(source_.get(), EventType(level), 0, MessageId(level, ids_), nullptr, 1, 0, strings, nullptr);
}

}  // namespace velt::win
