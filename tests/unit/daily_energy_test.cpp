#include "reports/daily_energy.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

constexpr int64_t kJan1 = 1704067200;  // 2024-01-01 00:00 UTC
constexpr size_t kLoad = static_cast<size_t>(HistoryQuantity::Load);

MinuteRow Minute(int64_t utc, int offsetMinutes, std::optional<double> loadAvg) {
    MinuteRow m;
    m.minuteUtc = utc;
    m.utcOffsetMinutes = offsetMinutes;
    if (loadAvg) m.values[kLoad] = MinuteStats{0, *loadAvg, 100};
    return m;
}

// 1200 W x 50 % for a minute is 36 kJ: 0.01 kWh.
TEST(DailyEnergy, MinutesAddUpPerLocalDate) {
    struct Case {
        const char* name;
        std::vector<MinuteRow> minutes;
        double ratingWatts;
        std::vector<DayEnergy> expected;
    };
    const Case cases[] = {
        {"no rating, no energy", {Minute(kJan1, 0, 50)}, 0, {}},
        {"minutes without a load count for nothing", {Minute(kJan1, 0, std::nullopt), Minute(kJan1 + 60, 0, 50)},
         1200, {{2024, 1, 1, 0.01}}},
        {"an hour ahead of UTC: 23:00 UTC is already the next day",
         {Minute(kJan1 + 22 * 3600 + 59 * 60, 60, 50), Minute(kJan1 + 23 * 3600, 60, 50),
          Minute(kJan1 + 23 * 3600 + 60, 60, 100)},
         1200, {{2024, 1, 1, 0.01}, {2024, 1, 2, 0.03}}},
        {"five hours behind: the small hours in UTC are the evening before",
         {Minute(kJan1 + 30 * 60, -300, 50)}, 1200, {{2023, 12, 31, 0.01}}},
        {"an offset that moves back brings a minute to a date already begun",
         {Minute(kJan1 + 23 * 3600 + 30 * 60, 60, 50), Minute(kJan1 + 23 * 3600 + 31 * 60, 0, 50)}, 1200,
         {{2024, 1, 1, 0.01}, {2024, 1, 2, 0.01}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto days = EnergyPerDay(std::span<const MinuteRow>(c.minutes), c.ratingWatts);
        ASSERT_EQ(days.size(), c.expected.size());
        for (size_t i = 0; i < days.size(); ++i) {
            EXPECT_EQ(days[i].year, c.expected[i].year);
            EXPECT_EQ(days[i].month, c.expected[i].month);
            EXPECT_EQ(days[i].day, c.expected[i].day);
            EXPECT_NEAR(days[i].kWh, c.expected[i].kWh, 1e-9);
        }
    }
}

// An hour's point at 25 % of 1000 W is 0.25 kWh, whatever minutes it folded.
TEST(DailyEnergy, ChartPointsCountForTheirWholeStep) {
    std::vector<HistoryPoint> points(3);
    for (size_t i = 0; i < points.size(); ++i) {
        points[i].timeUtc = kJan1 + static_cast<int64_t>(i) * 3600;
        points[i].values[kLoad] = MinuteStats{20, 25, 30};
    }
    const auto days = EnergyPerDay(std::span<const HistoryPoint>(points), 3600, 1000);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_NEAR(days[0].kWh, 0.75, 1e-9);
}

}  // namespace
}  // namespace velt
