#include "reports/history_chart.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

constexpr int64_t kFrom = 1773147780;  // 2026-03-10T13:03:00Z, a Tuesday

HistoryPoint Point(int64_t time, std::optional<double> volts, std::optional<double> load = 50,
                   std::optional<double> charge = 100, int offset = 0) {
    HistoryPoint point;
    point.timeUtc = time;
    point.utcOffsetMinutes = offset;
    const auto set = [&](HistoryQuantity q, std::optional<double> v) {
        if (v) point.values[static_cast<size_t>(q)] = MinuteStats{*v - 1, *v, *v + 1};
    };
    set(HistoryQuantity::InputVoltage, volts);
    set(HistoryQuantity::Load, load);
    set(HistoryQuantity::Charge, charge);
    return point;
}

std::vector<std::string> Texts(const std::vector<ChartTick>& ticks) {
    std::vector<std::string> texts;
    for (const ChartTick& tick : ticks) texts.push_back(tick.text);
    return texts;
}

TEST(HistoryChart, TheVoltageAxisRoundsTheDataOutToFewTicks) {
    struct Case {
        std::vector<std::optional<double>> volts;
        std::vector<std::string> ticks;
    };
    const Case cases[] = {
        {{228.4, 233.1}, {"220 V", "230 V", "240 V"}},
        {{230, 230}, {"220 V", "230 V", "240 V"}},              // flat: a step either side
        {{0, 241}, {"0 V", "50 V", "100 V", "150 V", "200 V", "250 V"}},  // an outage's zero
        {{117.2, 121}, {"110 V", "120 V", "130 V"}},
        {{std::nullopt}, {}},                                   // no voltage, no axis
    };
    for (const Case& c : cases) {
        std::vector<HistoryPoint> points;
        for (size_t i = 0; i < c.volts.size(); ++i) points.push_back(Point(kFrom + 60 * i, c.volts[i]));
        const HistoryChart chart = LayoutHistoryChart(points, {}, kFrom, kFrom + 3600, 60);
        EXPECT_EQ(Texts(chart.voltTicks), c.ticks);
        if (c.ticks.empty()) continue;
        EXPECT_EQ(chart.voltTicks.front().at, 0);
        EXPECT_EQ(chart.voltTicks.back().at, 1);
    }
}

TEST(HistoryChart, LinesBreakAtGapsOfMoreThanTwoStepsAndSitMidBucket) {
    const std::vector<HistoryPoint> points = {
        Point(kFrom, 220, 0), Point(kFrom + 60, 230, 100, std::nullopt), Point(kFrom + 180, 240, 50),  // 2 steps
        Point(kFrom + 420, 230, 25),                                       // 4 steps on: a new run
        Point(kFrom + 3590, 230, 200)};  // its middle past the end; load over 100 %
    const HistoryChart chart = LayoutHistoryChart(points, {}, kFrom, kFrom + 3600, 60);
    ASSERT_EQ(chart.series.size(), 3u);
    const ChartSeries& volts = chart.series[0];
    const ChartSeries& load = chart.series[1];
    const ChartSeries& charge = chart.series[2];
    EXPECT_EQ(volts.label, "Input voltage");
    EXPECT_FALSE(volts.rightAxis);
    EXPECT_TRUE(load.rightAxis);
    EXPECT_EQ(volts.runs.size(), 3u);
    EXPECT_EQ(volts.runs[0].size(), 3u);
    EXPECT_EQ(volts.runs[0][0], (ChartXY{30.0 / 3600, 0}));
    EXPECT_EQ(volts.runs[0][2].y, 1);
    EXPECT_EQ(load.runs[0][1].y, 1);
    EXPECT_EQ(load.runs[2][0], (ChartXY{1, 1})) << "held at the edges";
    EXPECT_EQ(charge.runs.size(), 4u) << "the missing charge leaves a gap of three steps";
    EXPECT_FALSE(chart.empty);
}

TEST(HistoryChart, OutagesAreShadedWithinTheSpan) {
    const auto outage = [](int64_t start, std::optional<int64_t> end,
                           HistoryEventKind kind = HistoryEventKind::MainsFailure) {
        EventRow row;
        row.kind = kind;
        row.startUtc = start;
        row.endUtc = end;
        return row;
    };
    const std::vector<EventRow> events = {outage(kFrom - 600, kFrom + 360),           // began before
                                          outage(kFrom + 900, kFrom + 900),           // no length
                                          outage(kFrom + 1800, kFrom + 2160, HistoryEventKind::Avr),
                                          outage(kFrom + 3240, std::nullopt)};        // under way
    const HistoryChart chart = LayoutHistoryChart({Point(kFrom, 230)}, events, kFrom, kFrom + 3600, 60);
    ASSERT_EQ(chart.outages.size(), 2u);
    EXPECT_EQ(chart.outages[0].x0, 0);
    EXPECT_DOUBLE_EQ(chart.outages[0].x1, 0.1);
    EXPECT_DOUBLE_EQ(chart.outages[1].x0, 0.9);
    EXPECT_EQ(chart.outages[1].x1, 1);
}

TEST(HistoryChart, TimeTicksFallOnRoundLocalTimes) {
    struct Case {
        ChartSpan span;
        int offset;
        std::vector<std::string> ticks;
    };
    const Case cases[] = {
        {ChartSpan::Hour, 60, {"14:10", "14:20", "14:30", "14:40", "14:50", "15:00"}},
        {ChartSpan::Day, 60, {"15:00", "18:00", "21:00", "00:00", "03:00", "06:00", "09:00", "12:00"}},
        {ChartSpan::Week, -300, {"Wed 11", "Thu 12", "Fri 13", "Sat 14", "Sun 15", "Mon 16", "Tue 17"}},
        {ChartSpan::Month, 330, {"03-16", "03-23", "03-30", "04-06"}},
    };
    for (const Case& c : cases) {
        const int64_t to = kFrom + ChartSpanSeconds(c.span);
        const auto points = {Point(kFrom, 230, 50, 100, c.offset)};
        const HistoryChart chart = LayoutHistoryChart(points, {}, kFrom, to, ChartStepSeconds(c.span));
        EXPECT_EQ(Texts(chart.timeTicks), c.ticks) << ChartSpanName(c.span);
    }
    const HistoryChart hour = LayoutHistoryChart({Point(kFrom, 230, 50, 100, 60)}, {}, kFrom, kFrom + 3600, 60);
    EXPECT_DOUBLE_EQ(hour.timeTicks[0].at, 7.0 / 60);
}

TEST(HistoryChart, NoPointsMakeAnEmptyChartWithItsAxes) {
    const HistoryChart chart = LayoutHistoryChart({}, {}, kFrom, kFrom + 86400, 300);
    EXPECT_TRUE(chart.empty);
    for (const ChartSeries& series : chart.series) EXPECT_TRUE(series.runs.empty());
    EXPECT_EQ(chart.timeTicks.size(), 8u);
    EXPECT_EQ(Texts(chart.percentTicks), (std::vector<std::string>{"0%", "25%", "50%", "75%", "100%"}));
    EXPECT_TRUE(chart.voltTicks.empty());
}

}  // namespace
}  // namespace velt
