#pragma once
// How long the battery lasts at a load. Learned from this unit's own
// discharges: each recorded outage tells how fast the charge fell at the load
// it had, and one rate per percent of load is fitted to them all. Until an
// outage of a minute or more was recorded, the UPS's rating and its battery's
// capacity give a rougher figure; with neither there is none.
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "reports/history_rows.h"

namespace velt {

// A shorter outage drains too little for its rate to mean anything.
inline constexpr double kShortestLessonSeconds = 60;
// Lighter loads count as this much: the UPS itself draws from the battery
// while nothing is plugged in, and a load of 0 % would promise for ever.
inline constexpr double kLoadFloorPercent = 5;
// The share of the battery's stored energy that reaches the load: the
// inverter's losses and the capacity a battery gives up at high currents
// (Peukert), taken together as a flat factor.
inline constexpr double kBatteryToLoadEfficiency = 0.7;

// drain (charge percent per second) = percentPerSecondPerLoad x load percent.
struct DrainFit {
    double percentPerSecondPerLoad = 0;
    int discharges = 0;  // how many outages taught it
    bool operator==(const DrainFit&) const = default;
};

// The duration-weighted least-squares fit, through zero, of each discharge's
// drain against its load (floored). Discharges that make no sense are left
// out: shorter than kShortestLessonSeconds, charge not falling, numbers out of
// range. None when none is left.
std::optional<DrainFit> FitDrain(std::span<const Discharge> discharges);

// What the rating gives instead: the UPS's real power rating in watts, the
// battery's capacity in ampere-hours and the pack's nominal voltage.
struct BatteryRating {
    double ratingWatts = 0, batteryAh = 0, nominalVolts = 0;
    bool Known() const { return ratingWatts > 0 && batteryAh > 0 && nominalVolts > 0; }
};

// Seconds of runtime left at `chargePercent` and `loadPercent`: from the fit
// when there is one, else from the rating when it is known, else none. The
// full-charge runtime at a load is the estimate at 100 %.
std::optional<double> EstimateRuntimeSeconds(const std::optional<DrainFit>& fit, const BatteryRating& rating,
                                             double chargePercent, double loadPercent);

// The fit of the discharges recorded so far, for the main thread. The history
// writer's thread hands over the discharges whenever an outage was recorded;
// the fit is made on that thread, and only the result is swapped under the lock.
class RuntimeLessons {
public:
    void Set(std::span<const Discharge> discharges);
    std::optional<DrainFit> Fit() const;

private:
    mutable std::mutex mutex_;
    std::optional<DrainFit> fit_;
};

}  // namespace velt
