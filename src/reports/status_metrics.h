#pragma once
// The body of GET /metrics: the snapshot as Prometheus gauges (text format
// 0.0.4), every series labelled ups="<NUT UPS Name>". A reading the UPS has
// not given has no series.
#include <string>

#include "status/shown_status.h"

namespace velt {

inline constexpr const char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

std::string StatusMetrics(const ShownStatus& shown, const std::string& upsName);

}  // namespace velt
