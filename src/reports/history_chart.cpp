#include "reports/history_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "reports/history_time.h"

namespace velt {

namespace {

constexpr int64_t kDay = 86400;

struct Axis {
    double low = 0, high = 0;
};

// The charted series: the quantity, its label, and whether it reads on the
// percent axis at the right.
struct SeriesKind {
    HistoryQuantity quantity;
    const char* label;
    bool rightAxis;
};
constexpr SeriesKind kSeriesKinds[] = {{HistoryQuantity::InputVoltage, "Input voltage", false},
                                       {HistoryQuantity::Load, "Load", true},
                                       {HistoryQuantity::Charge, "Charge", true}};

const std::optional<MinuteStats>& ValueOf(const HistoryPoint& point, HistoryQuantity quantity) {
    return point.values[static_cast<size_t>(quantity)];
}

// The averages' range rounded out to the first tick step that needs at most
// six steps; none without a voltage.
std::optional<Axis> VoltAxis(const std::vector<HistoryPoint>& points, double& tickStep) {
    double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
    for (const HistoryPoint& point : points)
        if (const auto& volts = ValueOf(point, HistoryQuantity::InputVoltage)) {
            low = std::min(low, volts->avg);
            high = std::max(high, volts->avg);
        }
    if (low > high) return std::nullopt;
    for (double step : {10.0, 20.0, 50.0, 100.0, 200.0, 500.0}) {
        tickStep = step;
        Axis axis{std::floor(low / step) * step, std::ceil(high / step) * step};
        if (axis.high == axis.low) axis = {axis.low - step, axis.high + step};
        axis.low = std::max(axis.low, 0.0);
        if ((axis.high - axis.low) / step <= 6) return axis;
    }
    return Axis{std::floor(low / tickStep) * tickStep, std::ceil(high / tickStep) * tickStep};
}

std::vector<ChartTick> VoltTicks(const Axis& axis, double step) {
    std::vector<ChartTick> ticks;
    for (double v = axis.low; v <= axis.high + step / 2; v += step) {
        char text[32];
        std::snprintf(text, sizeof text, "%.0f V", v);
        ticks.push_back({(v - axis.low) / (axis.high - axis.low), text});
    }
    return ticks;
}

std::vector<ChartTick> PercentTicks() {
    std::vector<ChartTick> ticks;
    for (int p = 0; p <= 100; p += 25) ticks.push_back({p / 100.0, std::to_string(p) + "%"});
    return ticks;
}

// Each point at its bucket's middle; a run ends where the next value comes
// more than two steps later.
ChartSeries Series(const SeriesKind& kind, const std::vector<HistoryPoint>& points, const std::optional<Axis>& volts,
                   int64_t fromUtc, int64_t toUtc, int64_t step) {
    ChartSeries series{kind.quantity, kind.label, kind.rightAxis, {}};
    if (!kind.rightAxis && !volts) return series;
    const Axis axis = kind.rightAxis ? Axis{0, 100} : *volts;
    std::optional<int64_t> previous;
    for (const HistoryPoint& point : points) {
        const auto& value = ValueOf(point, kind.quantity);
        if (!value) continue;
        if (!previous || point.timeUtc - *previous > 2 * step) series.runs.emplace_back();
        previous = point.timeUtc;
        const double x = static_cast<double>(point.timeUtc + step / 2 - fromUtc) / static_cast<double>(toUtc - fromUtc);
        const double y = (value->avg - axis.low) / (axis.high - axis.low);
        series.runs.back().push_back({std::clamp(x, 0.0, 1.0), std::clamp(y, 0.0, 1.0)});
    }
    return series;
}

std::vector<ChartBand> OutageBands(const std::vector<EventRow>& events, int64_t fromUtc, int64_t toUtc) {
    std::vector<ChartBand> bands;
    const auto x = [&](int64_t t) {
        return std::clamp(static_cast<double>(t - fromUtc) / static_cast<double>(toUtc - fromUtc), 0.0, 1.0);
    };
    for (const EventRow& event : events) {
        if (event.kind != HistoryEventKind::MainsFailure) continue;
        const ChartBand band{x(event.startUtc), x(event.endUtc.value_or(toUtc))};
        if (band.x1 > band.x0) bands.push_back(band);
    }
    return bands;
}

// How far apart the time ticks lie, where their count starts (in local
// seconds since 1970) and how they read.
struct TimeTickRule {
    int64_t every, anchor;
    enum { Clock, WeekdayDay, MonthDay } text;
};

TimeTickRule TimeTickRuleFor(int64_t spanSeconds) {
    if (spanSeconds <= 3 * 3600) return {600, 0, TimeTickRule::Clock};
    if (spanSeconds <= 2 * kDay) return {3 * 3600, 0, TimeTickRule::Clock};
    if (spanSeconds <= 14 * kDay) return {kDay, 0, TimeTickRule::WeekdayDay};
    return {7 * kDay, 4 * kDay, TimeTickRule::MonthDay};  // on Mondays: 1970-01-05 was one
}

std::string TimeTickText(int64_t utc, int offsetMinutes, const TimeTickRule& rule) {
    constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const LocalDateTime t = LocalTimeAt(utc, offsetMinutes);
    char text[32];
    if (rule.text == TimeTickRule::Clock) std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    else if (rule.text == TimeTickRule::MonthDay) std::snprintf(text, sizeof text, "%02d-%02d", t.month, t.day);
    else {
        const int64_t localDays = (utc + offsetMinutes * 60LL) / kDay;
        std::snprintf(text, sizeof text, "%s %d", kWeekdays[(localDays + 4) % 7], t.day);
    }
    return text;
}

std::vector<ChartTick> TimeTicks(int64_t fromUtc, int64_t toUtc, int offsetMinutes) {
    const TimeTickRule rule = TimeTickRuleFor(toUtc - fromUtc);
    const int64_t shift = offsetMinutes * 60LL;
    const int64_t sinceAnchor = fromUtc + shift - rule.anchor;
    int64_t local = sinceAnchor / rule.every * rule.every + rule.anchor;
    if (local < fromUtc + shift) local += rule.every;
    std::vector<ChartTick> ticks;
    for (; local <= toUtc + shift; local += rule.every) {
        const int64_t utc = local - shift;
        ticks.push_back({static_cast<double>(utc - fromUtc) / static_cast<double>(toUtc - fromUtc),
                         TimeTickText(utc, offsetMinutes, rule)});
    }
    return ticks;
}

}  // namespace

const char* ChartSpanName(ChartSpan span) {
    switch (span) {
        case ChartSpan::Hour: return "Last hour";
        case ChartSpan::Day: return "Last day";
        case ChartSpan::Week: return "Last week";
        case ChartSpan::Month: return "Last month";
    }
    return "";
}

int64_t ChartSpanSeconds(ChartSpan span) {
    switch (span) {
        case ChartSpan::Hour: return 3600;
        case ChartSpan::Day: return kDay;
        case ChartSpan::Week: return 7 * kDay;
        case ChartSpan::Month: return 30 * kDay;
    }
    return kDay;
}

int64_t ChartStepSeconds(ChartSpan span) {
    switch (span) {
        case ChartSpan::Hour: return 60;
        case ChartSpan::Day: return 300;
        case ChartSpan::Week: return 1800;
        case ChartSpan::Month: return 7200;
    }
    return 300;
}

HistoryChart LayoutHistoryChart(const std::vector<HistoryPoint>& points, const std::vector<EventRow>& outages,
                                int64_t fromUtc, int64_t toUtc, int64_t stepSeconds) {
    HistoryChart chart;
    if (toUtc <= fromUtc) return chart;
    double voltStep = 10;
    const std::optional<Axis> volts = VoltAxis(points, voltStep);
    for (const SeriesKind& kind : kSeriesKinds)
        chart.series.push_back(Series(kind, points, volts, fromUtc, toUtc, std::max<int64_t>(stepSeconds, 60)));
    chart.outages = OutageBands(outages, fromUtc, toUtc);
    chart.timeTicks = TimeTicks(fromUtc, toUtc, points.empty() ? 0 : points.back().utcOffsetMinutes);
    if (volts) chart.voltTicks = VoltTicks(*volts, voltStep);
    chart.percentTicks = PercentTicks();
    chart.empty = points.empty();
    return chart;
}

}  // namespace velt
