#pragma once
// The event log: an in-memory list of lines "date-time text, blank, message",
// only ever appended to or cleared, and its save format.
#include <string>
#include <vector>

#include "core/date_time_text.h"
#include "sys/clock.h"

namespace velt {

class EventLog {
public:
    // Gives the line as appended, for the view to show.
    const std::string& Add(const std::string& message, const LocalDateTime& when,
                           const IDateTimeFormat& fmt);
    // A line written elsewhere with its date already (another process's log).
    const std::string& AddLine(std::string line) { return lines_.emplace_back(std::move(line)); }
    void Clear() { lines_.clear(); }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// "Log_" + yymmddhhnnsszzz + ".txt".
std::string ProposedLogFileName(const LocalDateTime& t);
// Every line followed by CR LF, the last one too.
std::string LogFileText(const std::vector<std::string>& lines);

}  // namespace velt
