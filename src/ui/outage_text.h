#pragma once
// An outage as the History page lists it: when it began in the local time it
// was recorded with, how long it lasted, the lowest charge and what the
// program did. Plain text, so the list and its tests agree.
#include <cstdint>
#include <string>

#include "reports/history_rows.h"

namespace velt::ui {

struct OutageText {
    std::string start, length, lowestCharge, action;
    bool operator==(const OutageText&) const = default;
};

// `nowUtc` measures an outage still under way.
OutageText OutageTextOf(const EventRow& outage, int64_t nowUtc);

// "45 s", "3 min 05 s", "2 h 07 min", "3 d 4 h": the two largest units.
std::string LengthText(int64_t seconds);
// "2024-05-01 13:05" for `utc` seen at `utcOffsetMinutes`.
std::string LocalMinuteText(int64_t utc, int utcOffsetMinutes);

}  // namespace velt::ui
