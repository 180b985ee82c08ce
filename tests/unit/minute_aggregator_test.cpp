#include "reports/minute_aggregator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reports/history_reading.h"

namespace velt {
namespace {

// A minute's first millisecond (2027-01-15 08:00:00 UTC).
constexpr int64_t kT0 = 1'800'000'000'000;
constexpr int64_t kM0 = kT0 / 1000;  // that minute as the rows hold it

struct Feed {
    double seconds;  // after kT0, on the virtual clock
    std::optional<double> volts, load;
    bool onBattery = false;
};

struct Expected {
    int64_t minuteUtc;
    std::optional<MinuteStats> volts, load;
    int onBatterySeconds = 0;
    int readings = 0;
};

struct Case {
    const char* name;
    std::vector<Feed> feed;
    std::vector<Expected> rows;  // given by Add, then by Finish
};

constexpr auto kNone = std::nullopt;

const Case kCases[] = {
    {"MinAverageMaxOverTheMinute",
     {{0, 230, 10}, {20, 220, 30}, {40, 240, 20}, {60, 231, 11}},
     {{kM0, MinuteStats{220, 230, 240}, MinuteStats{10, 20, 30}, 0, 3},
      {kM0 + 60, MinuteStats{231, 231, 231}, MinuteStats{11, 11, 11}, 0, 1}}},
    {"AMissingValueLeavesOnlyItsColumnAlone",
     {{0, 230, kNone}, {30, kNone, 40}, {45, 250, kNone}},
     {{kM0, MinuteStats{230, 240, 250}, MinuteStats{40, 40, 40}, 0, 3}}},
    {"AColumnNoReadingHeldIsNull", {{5, kNone, kNone}}, {{kM0, kNone, kNone, 0, 1}}},
    {"BatteryTimeIsSplitAtTheMinutesEnd",
     {{0, 230, 10}, {10, 230, 10}, {30, 0, 10, true}, {40, 0, 10, true}, {50, 0, 10, true}, {65, 0, 10, true},
      {70, 229, 10}},
     {{kM0, MinuteStats{0, 92, 230}, MinuteStats{10, 10, 10}, 30, 5},
      {kM0 + 60, MinuteStats{0, 114.5, 229}, MinuteStats{10, 10, 10}, 10, 2}}},
    {"ASilenceCountsOnlyUpToTheLongestGap",
     {{0, 0, 10, true}, {40, 0, 10, true}},
     {{kM0, MinuteStats{0, 0, 0}, MinuteStats{10, 10, 10}, 15, 2}}},
    {"MinutesWithoutReadingsGiveNoRow",
     {{0, 230, kNone}, {185, 231, kNone}},
     {{kM0, MinuteStats{230, 230, 230}, kNone, 0, 1}, {kM0 + 180, MinuteStats{231, 231, 231}, kNone, 0, 1}}},
    {"AClockSetBackCountsNoBatteryAndStartsItsMinuteAgain",
     {{90, 0, kNone, true}, {30, 0, kNone, true}},
     {{kM0 + 60, MinuteStats{0, 0, 0}, kNone, 0, 1}, {kM0, MinuteStats{0, 0, 0}, kNone, 0, 1}}},
    {"NoReadingsNoRow", {}, {}},
};

class MinuteAggregation : public ::testing::TestWithParam<Case> {};

TEST_P(MinuteAggregation, RowsAsTheReadingsGiveThem) {
    MinuteAggregator aggregator(15000);
    std::vector<MinuteRow> rows;
    for (const Feed& f : GetParam().feed) {
        HistoryReading reading;
        reading.utcMs = kT0 + static_cast<int64_t>(f.seconds * 1000);
        reading.utcOffsetMinutes = 60;
        reading.values[static_cast<size_t>(HistoryQuantity::InputVoltage)] = f.volts;
        reading.values[static_cast<size_t>(HistoryQuantity::Load)] = f.load;
        reading.onBattery = f.onBattery;
        if (auto row = aggregator.Add(reading)) rows.push_back(*row);
    }
    if (auto row = aggregator.Finish()) rows.push_back(*row);
    EXPECT_FALSE(aggregator.Finish());

    ASSERT_EQ(rows.size(), GetParam().rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const Expected& want = GetParam().rows[i];
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(rows[i].minuteUtc, want.minuteUtc);
        EXPECT_EQ(rows[i].utcOffsetMinutes, 60);
        EXPECT_EQ(rows[i].values[static_cast<size_t>(HistoryQuantity::InputVoltage)], want.volts);
        EXPECT_EQ(rows[i].values[static_cast<size_t>(HistoryQuantity::Load)], want.load);
        EXPECT_FALSE(rows[i].values[static_cast<size_t>(HistoryQuantity::Charge)]);
        EXPECT_EQ(rows[i].onBatterySeconds, want.onBatterySeconds);
        EXPECT_EQ(rows[i].readings, want.readings);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MinuteAggregation, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HistoryReadingOf, TakesTheNumbersThePackVoltageAndThePowerFailBit) {
    const LocalDateTime when{2027, 1, 15, 9, 0, 30, 250, 60};  // 08:00:30.250 UTC
    const auto status = ParseStatusReply("(229.0 140.0 230.0 013 50.1 2.27 25.5 10000000", when, true, '.', 24.0);
    ASSERT_TRUE(status);
    const HistoryReading reading = HistoryReadingOf(*status, 87.5, when);
    EXPECT_EQ(reading.utcMs, kT0 + 30250);
    EXPECT_EQ(reading.utcOffsetMinutes, 60);
    const std::array<std::optional<double>, kHistoryQuantities> values = {229.0, 230.0, 13.0, 50.1,
                                                                          2.27 * 12, 25.5, 87.5};
    for (size_t i = 0; i < kHistoryQuantities; ++i) {
        ASSERT_TRUE(reading.values[i]) << kHistoryColumns[i];
        EXPECT_NEAR(*reading.values[i], *values[i], 1e-9) << kHistoryColumns[i];
    }
    EXPECT_TRUE(reading.onBattery);
}

TEST(HistoryReadingOf, FieldsAReplyDidNotReachAreMissingAndItsBitsCountForNothing) {
    const LocalDateTime when{2027, 1, 15, 8, 0, 0, 0};
    const auto status = ParseStatusReply("(230.0 230.0 ---.- 013 50.0 13.60 25.0 10000000", when, true);
    ASSERT_TRUE(status);
    const HistoryReading reading = HistoryReadingOf(*status, std::nullopt, when);
    EXPECT_EQ(reading.values[static_cast<size_t>(HistoryQuantity::InputVoltage)], 230.0);
    for (HistoryQuantity q : {HistoryQuantity::OutputVoltage, HistoryQuantity::Load, HistoryQuantity::Temperature,
                              HistoryQuantity::Charge})
        EXPECT_FALSE(reading.values[static_cast<size_t>(q)]) << kHistoryColumns[static_cast<size_t>(q)];
    EXPECT_FALSE(reading.onBattery);
}

}  // namespace
}  // namespace velt
