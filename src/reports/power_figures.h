#pragma once
// The runtime and the watts shown beside the readings, worked out on the main
// thread from the last reply, the lessons of past outages and the settings.
#include <optional>

#include "core/ups_settings.h"
#include "reports/runtime_estimate.h"
#include "status/shown_status.h"

namespace velt {

struct PowerReadings {
    std::optional<double> chargePercent;  // the battery estimate
    std::optional<double> loadPercent;    // the last reply's load
    double nominalBatteryVolts = 0;       // the pack's, as the estimate uses it
};

// Each figure is none when what it needs is unknown: the runtime without a
// charge, a load, or any basis (lessons or rating); the watts without a load
// or "UPS Rating W".
ShownPower PowerFigures(const std::optional<DrainFit>& fit, const TUPSSettings& settings,
                        const PowerReadings& readings);

}  // namespace velt
