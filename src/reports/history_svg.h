#pragma once
// The history's chart as an SVG image the page server puts in its page:
// self-contained (no script, no link to any other file), its texts escaped.
#include <string>

#include "reports/history_chart.h"

namespace velt {

std::string HistoryChartSvg(const HistoryChart& chart);

}  // namespace velt
