#pragma once
// Folds the readings into one row a minute: each quantity's minimum, average
// and maximum over the readings that held it, and the time on battery. A
// reading's time comes from the caller's clock; the row of a minute is given
// when the first reading of another minute comes, or at Finish().
#include <array>
#include <cstdint>
#include <optional>

#include "reports/history_rows.h"

namespace velt {

struct HistoryReading {
    int64_t utcMs = 0;  // milliseconds since 1970-01-01 UTC
    int utcOffsetMinutes = 0;
    std::array<std::optional<double>, kHistoryQuantities> values;
    bool onBattery = false;
};

class MinuteAggregator {
public:
    // Time on battery runs from an on-battery reading to the next one, but
    // for no more than `longestGapMs`: a silent UPS tells nothing of its state.
    explicit MinuteAggregator(int64_t longestGapMs = 15000) : longestGapMs_(longestGapMs) {}

    // The finished row when `reading` is of another minute than those before.
    std::optional<MinuteRow> Add(const HistoryReading& reading);
    // The row of the minute under way (at exit); none without readings.
    std::optional<MinuteRow> Finish();

private:
    struct Stats {
        double min = 0, max = 0, sum = 0;
        int count = 0;
    };
    void CountBattery(int64_t untilMs);
    void Begin(const HistoryReading& reading);
    void Take(const HistoryReading& reading);
    MinuteRow Row() const;

    int64_t longestGapMs_;
    std::optional<int64_t> minuteMs_;  // the first millisecond of the minute under way
    int utcOffsetMinutes_ = 0;
    std::array<Stats, kHistoryQuantities> stats_;
    int readings_ = 0;
    int64_t batteryMs_ = 0;       // of the minute under way
    int64_t carriedBatteryMs_ = 0;  // past the minute's end, for the next one
    std::optional<int64_t> lastMs_;
    bool lastOnBattery_ = false;
};

// The minute a time falls in, as its first millisecond.
int64_t MinuteStartMs(int64_t utcMs);

}  // namespace velt
