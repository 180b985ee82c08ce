#pragma once
// The energy the load drew, per local day, in kWh: each minute's average load
// times "UPS Rating W" over the time it covers. The load is a percentage of
// the rating, so without the rating there is no energy.
#include <cstdint>
#include <span>
#include <vector>

#include "reports/history_reader.h"
#include "reports/history_rows.h"

namespace velt {

struct DayEnergy {
    int year = 0, month = 0, day = 0;  // the local date of the minutes counted
    double kWh = 0;
    bool operator==(const DayEnergy&) const = default;
};

// Days in time order, only those with a minute that held a load; none
// without a rating. A minute counts for 60 s.
std::vector<DayEnergy> EnergyPerDay(std::span<const MinuteRow> minutes, double ratingWatts);
// Over chart points: each counts for its whole step, which should divide a
// day, so that a point never straddles midnight.
std::vector<DayEnergy> EnergyPerDay(std::span<const HistoryPoint> points, int64_t stepSeconds, double ratingWatts);

}  // namespace velt
