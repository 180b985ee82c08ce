// The History page's outage rows: local start, length in its two largest
// units, lowest charge and action as the list shows them.
#include "ui/outage_text.h"

#include <gtest/gtest.h>

namespace velt::ui {
namespace {

TEST(OutageText, LengthTakesItsTwoLargestUnits) {
    const struct {
        int64_t seconds;
        const char* text;
    } cases[] = {
        {-5, "0 s"},           {0, "0 s"},           {59, "59 s"},          {60, "1 min 00 s"},
        {61, "1 min 01 s"},    {3599, "59 min 59 s"}, {3600, "1 h 00 min"},  {3660 + 59, "1 h 01 min"},
        {86399, "23 h 59 min"}, {86400, "1 d 0 h"},  {90061, "1 d 1 h"},    {40 * 86400 + 7200, "40 d 2 h"},
    };
    for (const auto& c : cases) EXPECT_EQ(LengthText(c.seconds), c.text) << c.seconds;
}

// The offset kept with the row, never the reader's own zone; across midnight,
// a leap day and a year's end.
TEST(OutageText, StartIsTheMinuteAtItsOwnOffset) {
    const struct {
        int64_t utc;
        int offset;
        const char* text;
    } cases[] = {
        {0, 0, "1970-01-01 00:00"},
        {59, 0, "1970-01-01 00:00"},
        {1709164800 + 23 * 3600 + 30 * 60, 60, "2024-03-01 00:30"},  // 2024-02-29 23:30 UTC
        {1709164800 + 3600, -300, "2024-02-28 20:00"},
        {1735689600 - 60, 0, "2024-12-31 23:59"},
        {1735689600 - 60, 330, "2025-01-01 05:29"},
    };
    for (const auto& c : cases) EXPECT_EQ(LocalMinuteText(c.utc, c.offset), c.text) << c.utc << " " << c.offset;
}

TEST(OutageText, RowsShowWhatIsKnownAndDashesForWhatIsNot) {
    const int64_t start = 1700000000;  // 2023-11-14 22:13:20 UTC
    const auto outage = [&](std::optional<int64_t> end, std::optional<double> charge, const char* action) {
        EventRow row;
        row.startUtc = start;
        row.endUtc = end;
        row.utcOffsetMinutes = 120;
        row.lowestCharge = charge;
        row.action = action;
        return row;
    };
    const struct {
        EventRow row;
        OutageText text;
    } cases[] = {
        {outage(start + 420, 62.4, "hibernate"), {"2023-11-15 00:13", "7 min 00 s", "62 %", "hibernate"}},
        {outage(start + 30, 99.5, ""), {"2023-11-15 00:13", "30 s", "100 %", "-"}},
        {outage(start + 3 * 3600, std::nullopt, "shutdown"), {"2023-11-15 00:13", "3 h 00 min", "-", "shutdown"}},
        // Still under way: measured up to now.
        {outage(std::nullopt, 40.0, ""), {"2023-11-15 00:13", "2 min 05 s so far", "40 %", "-"}},
        {outage(start + 10, -3.0, ""), {"2023-11-15 00:13", "10 s", "0 %", "-"}},
    };
    for (const auto& c : cases) EXPECT_EQ(OutageTextOf(c.row, start + 125), c.text) << c.text.length;
}

}  // namespace
}  // namespace velt::ui
