#include "reports/power_figures.h"

#include <algorithm>
#include <cmath>

namespace velt {

namespace {

// Whole seconds, rounded down: a runtime is better short than long. Kept
// within an int; no battery comes near it.
std::optional<int> WholeSeconds(std::optional<double> seconds) {
    if (!seconds || !std::isfinite(*seconds)) return std::nullopt;
    return static_cast<int>(std::clamp(std::floor(*seconds), 0.0, 1e9));
}

}  // namespace

ShownPower PowerFigures(const std::optional<DrainFit>& fit, const TUPSSettings& settings,
                        const PowerReadings& readings) {
    ShownPower power;
    const double ratingWatts = settings.UPSRatingW;
    if (ratingWatts > 0) power.ratingWatts = ratingWatts;
    const auto load = readings.loadPercent;
    if (!load || !std::isfinite(*load) || *load < 0) return power;
    if (power.ratingWatts) power.realPowerWatts = ratingWatts * *load / 100;
    const BatteryRating rating{ratingWatts, settings.BatteryAh, readings.nominalBatteryVolts};
    power.fullChargeRuntimeSeconds = WholeSeconds(EstimateRuntimeSeconds(fit, rating, 100, *load));
    if (readings.chargePercent)
        power.runtimeSeconds = WholeSeconds(EstimateRuntimeSeconds(fit, rating, *readings.chargePercent, *load));
    return power;
}

}  // namespace velt
