#include "reports/minute_aggregator.h"

#include <algorithm>
#include <cmath>

namespace velt {

namespace {
constexpr int64_t kMinuteMs = 60000;
}

int64_t MinuteStartMs(int64_t utcMs) {
    const int64_t floor = utcMs >= 0 ? utcMs / kMinuteMs : (utcMs - kMinuteMs + 1) / kMinuteMs;
    return floor * kMinuteMs;
}

std::optional<MinuteRow> MinuteAggregator::Add(const HistoryReading& reading) {
    std::optional<MinuteRow> finished;
    CountBattery(reading.utcMs);
    if (minuteMs_ && MinuteStartMs(reading.utcMs) != *minuteMs_) {
        finished = Row();
        // Time past the minute's end belongs to the next minute only.
        const int64_t carried = MinuteStartMs(reading.utcMs) == *minuteMs_ + kMinuteMs ? carriedBatteryMs_ : 0;
        Begin(reading);
        batteryMs_ = carried;
    } else if (!minuteMs_) {
        Begin(reading);
    }
    Take(reading);
    return finished;
}

std::optional<MinuteRow> MinuteAggregator::Finish() {
    if (!minuteMs_) return std::nullopt;
    MinuteRow row = Row();
    minuteMs_.reset();
    lastMs_.reset();
    return row;
}

// The span since the last reading, when that one was on battery, split at
// the end of the minute under way. A clock set back counts nothing.
void MinuteAggregator::CountBattery(int64_t untilMs) {
    carriedBatteryMs_ = 0;
    if (!minuteMs_ || !lastMs_ || !lastOnBattery_ || untilMs <= *lastMs_) return;
    const int64_t end = std::min(untilMs, *lastMs_ + longestGapMs_);
    const int64_t minuteEnd = *minuteMs_ + kMinuteMs;
    batteryMs_ += std::max<int64_t>(0, std::min(end, minuteEnd) - *lastMs_);
    carriedBatteryMs_ = std::max<int64_t>(0, end - std::max(*lastMs_, minuteEnd));
}

void MinuteAggregator::Begin(const HistoryReading& reading) {
    minuteMs_ = MinuteStartMs(reading.utcMs);
    utcOffsetMinutes_ = reading.utcOffsetMinutes;
    stats_ = {};
    readings_ = 0;
    batteryMs_ = 0;
}

void MinuteAggregator::Take(const HistoryReading& reading) {
    for (size_t i = 0; i < kHistoryQuantities; ++i) {
        // A value no column can hold is left out like a missing one.
        if (!reading.values[i] || !std::isfinite(*reading.values[i])) continue;
        const double v = *reading.values[i];
        Stats& s = stats_[i];
        s.min = s.count ? std::min(s.min, v) : v;
        s.max = s.count ? std::max(s.max, v) : v;
        s.sum += v;
        ++s.count;
    }
    ++readings_;
    lastMs_ = reading.utcMs;
    lastOnBattery_ = reading.onBattery;
}

MinuteRow MinuteAggregator::Row() const {
    MinuteRow row;
    row.minuteUtc = *minuteMs_ / 1000;
    row.utcOffsetMinutes = utcOffsetMinutes_;
    for (size_t i = 0; i < kHistoryQuantities; ++i) {
        const Stats& s = stats_[i];
        if (s.count) row.values[i] = MinuteStats{s.min, s.sum / s.count, s.max};
    }
    row.onBatterySeconds = static_cast<int>(std::min<int64_t>((batteryMs_ + 500) / 1000, 60));
    row.readings = readings_;
    return row;
}

}  // namespace velt
