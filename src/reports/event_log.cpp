#include "reports/event_log.h"

#include <cstdio>

namespace velt {

const std::string& EventLog::Add(const std::string& message, const LocalDateTime& when,
                                  const IDateTimeFormat& fmt) {
    lines_.push_back(DateTimeText(when, fmt) + " " + message);
    return lines_.back();
}

std::string ProposedLogFileName(const LocalDateTime& t) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "Log_%02d%02d%02d%02d%02d%02d%03d.txt", t.year % 100, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond);
    return buf;
}

std::string LogFileText(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

}  // namespace velt
