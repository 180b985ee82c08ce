#pragma once
// The system's own record of what happened, read by administrators (on
// Windows, the Application event log). Only a service writes there: a user's
// window has the user watching it.
#include <string>

namespace velt {

enum class SystemEventLevel { Information, Warning, Error };

class ISystemEventLog {
public:
    virtual ~ISystemEventLog() = default;
    // One entry; the system adds its own date and time.
    virtual void Report(SystemEventLevel level, const std::string& text) = 0;
};

}  // namespace velt
