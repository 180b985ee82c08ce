#pragma once
// The span a client asks the history's feeds for: "?from=...&to=...&step=..."
// with ISO 8601 times and the step in seconds.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velt {

struct HistorySpan {
    int64_t fromUtc = 0, toUtc = 0;
    int64_t stepSeconds = 60;       // widened to keep the points within kHistoryMaxPoints
    int64_t requestedStep = 60;     // as asked
    std::string error;              // why the query cannot be answered; empty when it can
};

// Without "to" the span ends now; without "from" it begins a day before its
// end; without "step" it is a minute. A time without an offset, and a date
// alone, are local at `utcOffsetMinutes`. Refused: a time that does not
// parse, "from" not before "to", a step that is no whole number of at least
// 60 seconds. Keys other than these three are ignored.
HistorySpan ParseHistorySpan(std::string_view query, int64_t nowUtc, int utcOffsetMinutes);

// The query's value for `key`, percent-decoded ('+' stays '+', so an offset
// typed into the address survives); none when the key is not there.
std::optional<std::string> QueryValue(std::string_view query, std::string_view key);

}  // namespace velt
