#pragma once
// The minutes of a span as CSV, for export.
#include <string>
#include <vector>

#include "reports/history_rows.h"

namespace velt {

std::string HistoryCsv(const std::vector<MinuteRow>& minutes);

}  // namespace velt
