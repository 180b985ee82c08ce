#pragma once
// Entries in the Application event log under a registered source. The source
// is opened once and kept for the writer's life; the message ids are the
// exe's message table's, one per level, each showing its text as written.
#include <windows.h>

#include <string>

#include "sys/system_event_log.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

struct EventSourceTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::DeregisterEventSource(h); }
};
using EventSource = UniqueHandle<EventSourceTraits>;

// The message table's id for each level.
struct EventMessageIds {
    DWORD information;
    DWORD warning;
    DWORD error;
};

class WinSystemEventLog final : public ISystemEventLog {
public:
    WinSystemEventLog(const std::wstring& sourceName, EventMessageIds ids);

    // A source that could not be opened drops every entry: the service's log
    // file still has them.
    void Report(SystemEventLevel level, const std::string& text) override;

private:
    EventSource source_;
    EventMessageIds ids_;
};

}  // namespace velt::win
