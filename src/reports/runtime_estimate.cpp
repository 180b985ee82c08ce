#include "reports/runtime_estimate.h"

#include <algorithm>
#include <cmath>

namespace velt {

namespace {

// An overloaded UPS reports somewhat over 100 %; far more is a garbled reading.
constexpr double kHighestLoadPercent = 200;

bool IsPercent(double v) { return std::isfinite(v) && v >= 0 && v <= 100; }

// A discharge the fit can learn from: long enough, finite, and the charge
// fell. A rising or flat charge is an estimate disturbed by the mains coming
// and going, not a battery giving energy.
bool Teaches(const Discharge& d) {
    return std::isfinite(d.seconds) && d.seconds >= kShortestLessonSeconds && IsPercent(d.startCharge) &&
           IsPercent(d.endCharge) && d.endCharge < d.startCharge && std::isfinite(d.averageLoad) &&
           d.averageLoad >= 0 && d.averageLoad <= kHighestLoadPercent;
}

double FlooredLoad(double loadPercent) { return std::max(loadPercent, kLoadFloorPercent); }

double ClampedCharge(double chargePercent) { return std::clamp(chargePercent, 0.0, 100.0); }

std::optional<double> FromFit(const DrainFit& fit, double chargePercent, double loadPercent) {
    const double drain = fit.percentPerSecondPerLoad * FlooredLoad(loadPercent);
    if (!(drain > 0)) return std::nullopt;
    return ClampedCharge(chargePercent) / drain;
}

std::optional<double> FromRating(const BatteryRating& rating, double chargePercent, double loadPercent) {
    if (!rating.Known()) return std::nullopt;
    const double wattHours = rating.batteryAh * rating.nominalVolts * kBatteryToLoadEfficiency;
    const double watts = rating.ratingWatts * FlooredLoad(loadPercent) / 100;
    return ClampedCharge(chargePercent) / 100 * wattHours / watts * 3600;
}

}  // namespace

// Minimising sum(w (r - k l)^2) over k, with w the seconds, r the drain and
// l the load, gives k = sum(w r l) / sum(w l^2): a long outage counts for more
// than a short one, whose few percent are mostly the estimate's noise.
std::optional<DrainFit> FitDrain(std::span<const Discharge> discharges) {
    double weightedDrainLoad = 0, weightedLoadSquared = 0;
    int used = 0;
    for (const Discharge& d : discharges) {
        if (!Teaches(d)) continue;
        const double drain = (d.startCharge - d.endCharge) / d.seconds;
        const double load = FlooredLoad(d.averageLoad);
        weightedDrainLoad += d.seconds * drain * load;
        weightedLoadSquared += d.seconds * load * load;
        ++used;
    }
    if (used == 0) return std::nullopt;
    return DrainFit{weightedDrainLoad / weightedLoadSquared, used};
}

std::optional<double> EstimateRuntimeSeconds(const std::optional<DrainFit>& fit, const BatteryRating& rating,
                                             double chargePercent, double loadPercent) {
    if (!std::isfinite(chargePercent) || !std::isfinite(loadPercent) || loadPercent < 0) return std::nullopt;
    if (fit) return FromFit(*fit, chargePercent, loadPercent);
    return FromRating(rating, chargePercent, loadPercent);
}

void RuntimeLessons::Set(std::span<const Discharge> discharges) {
    const std::optional<DrainFit> fit = FitDrain(discharges);
    std::lock_guard<std::mutex> guard(mutex_);
    fit_ = fit;
}

std::optional<DrainFit> RuntimeLessons::Fit() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return fit_;
}

}  // namespace velt
