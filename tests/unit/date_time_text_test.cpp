// The reply's time as the feeds give it to readers in other time zones.
#include "core/date_time_text.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

TEST(DateTimeText, IsoTextAndUnixTimeCarryTheOffset) {
    struct Case {
        LocalDateTime local;
        const char* iso;
        int64_t unixSeconds;
    };
    const Case cases[] = {
        {{2024, 2, 1, 10, 0, 0, 999, 60}, "2024-02-01T10:00:00+01:00", 1706778000},
        {{2024, 2, 29, 23, 59, 59, 0, 0}, "2024-02-29T23:59:59+00:00", 1709251199},
        // St John's, behind UTC by a half hour past the whole: the day turns in UTC.
        {{2023, 12, 31, 21, 0, 0, 0, -210}, "2023-12-31T21:00:00-03:30", 1704069000},
        {{2026, 3, 29, 5, 45, 0, 0, 345}, "2026-03-29T05:45:00+05:45", 1774742400},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsoDateTimeText(c.local), c.iso);
        EXPECT_EQ(UnixSeconds(c.local), c.unixSeconds) << c.iso;
    }
}

}  // namespace
}  // namespace velt
