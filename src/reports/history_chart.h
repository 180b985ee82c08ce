#pragma once
// The history's chart as shapes, for any renderer: the window draws it with
// GDI, the page server writes it as SVG. Coordinates are fractions of the
// plot area: x from 0 at the span's start to 1 at its end, y from 0 at the
// bottom to 1 at the top. Input voltage runs on the left axis, load and
// charge on the right one (0..100 %).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "reports/history_reader.h"
#include "reports/history_rows.h"

namespace velt {

// The spans the chart offers, in the drop-down's order.
enum class ChartSpan { Hour, Day, Week, Month };
inline constexpr std::array<ChartSpan, 4> kChartSpans = {ChartSpan::Hour, ChartSpan::Day, ChartSpan::Week,
                                                         ChartSpan::Month};
const char* ChartSpanName(ChartSpan span);  // "Last hour", "Last day", ...
int64_t ChartSpanSeconds(ChartSpan span);
// The points' step for the span: a few hundred points at most.
int64_t ChartStepSeconds(ChartSpan span);

struct ChartXY {
    double x = 0, y = 0;
    bool operator==(const ChartXY&) const = default;
};

struct ChartSeries {
    HistoryQuantity quantity = HistoryQuantity::InputVoltage;
    std::string label;  // "Input voltage", "Load", "Charge"
    bool rightAxis = false;
    // Broken where minutes are missing: each run is drawn as one line.
    std::vector<std::vector<ChartXY>> runs;
};

struct ChartBand {  // an outage's shade, clipped to the span
    double x0 = 0, x1 = 0;
};

struct ChartTick {
    double at = 0;  // x for the time axis, y for the value axes
    std::string text;
};

struct HistoryChart {
    std::vector<ChartSeries> series;
    std::vector<ChartBand> outages;
    std::vector<ChartTick> timeTicks, voltTicks, percentTicks;
    bool empty = true;  // no minute in the span: "No history for this span yet"
};

// `points` as HistoryReader::Points gives them for [fromUtc, toUtc) with
// `stepSeconds`; `outages` the mains failures overlapping the span (one still
// under way has no end and is shaded to the span's end). Tick texts use the
// local time of the points' offset.
HistoryChart LayoutHistoryChart(const std::vector<HistoryPoint>& points, const std::vector<EventRow>& outages,
                                int64_t fromUtc, int64_t toUtc, int64_t stepSeconds);

}  // namespace velt
