#include "reports/daily_energy.h"

#include <chrono>
#include <map>
#include <optional>

namespace velt {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr double kJoulesPerKWh = 3.6e6;

// Days since 1970-01-01 of the local date a UTC second falls on.
int64_t LocalDayOf(int64_t utc, int utcOffsetMinutes) {
    const int64_t local = utc + int64_t{utcOffsetMinutes} * 60;
    return local >= 0 ? local / kSecondsPerDay : (local - kSecondsPerDay + 1) / kSecondsPerDay;
}

DayEnergy DateOf(int64_t localDay) {
    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{localDay}}};
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())), 0};
}

// Keyed by the local day: a change of offset may bring a minute back to a
// date already begun.
class DaySums {
public:
    explicit DaySums(double ratingWatts) : watts_(ratingWatts) {}

    void Add(int64_t utc, int utcOffsetMinutes, const std::optional<MinuteStats>& load, double seconds) {
        if (!load || watts_ <= 0) return;
        kWh_[LocalDayOf(utc, utcOffsetMinutes)] += watts_ * load->avg / 100 * seconds / kJoulesPerKWh;
    }
    std::vector<DayEnergy> Take() const {
        std::vector<DayEnergy> days;
        for (const auto& [localDay, kWh] : kWh_) {
            days.push_back(DateOf(localDay));
            days.back().kWh = kWh;
        }
        return days;
    }

private:
    double watts_;
    std::map<int64_t, double> kWh_;
};

constexpr size_t kLoad = static_cast<size_t>(HistoryQuantity::Load);

}  // namespace

std::vector<DayEnergy> EnergyPerDay(std::span<const MinuteRow> minutes, double ratingWatts) {
    DaySums sums(ratingWatts);
    for (const MinuteRow& m : minutes) sums.Add(m.minuteUtc, m.utcOffsetMinutes, m.values[kLoad], 60);
    return sums.Take();
}

std::vector<DayEnergy> EnergyPerDay(std::span<const HistoryPoint> points, int64_t stepSeconds, double ratingWatts) {
    DaySums sums(ratingWatts);
    for (const HistoryPoint& p : points)
        sums.Add(p.timeUtc, p.utcOffsetMinutes, p.values[kLoad], static_cast<double>(stepSeconds));
    return sums.Take();
}

}  // namespace velt
