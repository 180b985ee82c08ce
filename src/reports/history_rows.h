#pragma once
// What the history keeps: one row a minute of the readings' minimum, average
// and maximum with the seconds on battery, and one row per event. Times are
// seconds since 1970-01-01 UTC, so that a change of time zone or of summer
// time neither repeats nor skips a minute; the offset in force is kept beside
// them for local display.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/ups_settings.h"

namespace velt {

// The quantities a minute keeps, in the order of kHistoryColumns.
enum class HistoryQuantity { InputVoltage, OutputVoltage, Load, Frequency, BatteryVoltage, Temperature, Charge };
inline constexpr size_t kHistoryQuantities = 7;
// Column stems in the minutes table: "<stem>_min", "<stem>_avg", "<stem>_max".
inline constexpr std::array<const char*, kHistoryQuantities> kHistoryColumns = {
    "input_voltage", "output_voltage", "load", "frequency", "battery_voltage", "temperature", "charge"};

struct MinuteStats {
    double min = 0, avg = 0, max = 0;
    bool operator==(const MinuteStats&) const = default;
};

struct MinuteRow {
    int64_t minuteUtc = 0;  // the minute's first second
    int utcOffsetMinutes = 0;
    // None for a quantity no reading of the minute held.
    std::array<std::optional<MinuteStats>, kHistoryQuantities> values;
    int onBatterySeconds = 0;  // 0..60
    int readings = 0;
    bool operator==(const MinuteRow&) const = default;
};

enum class HistoryEventKind {
    MainsFailure, Avr, BatteryLow, UpsFault, LinkLost, UpsTest, PowerAction, ProgramStart, ProgramExit
};
// The kind as the events table holds it ("mains_failure", ...).
const char* HistoryEventKindName(HistoryEventKind kind);
// The kind of a name HistoryEventKindName gives; none for any other text.
std::optional<HistoryEventKind> HistoryEventKindFromName(std::string_view name);

struct EventRow {
    HistoryEventKind kind = HistoryEventKind::MainsFailure;
    int64_t startUtc = 0;
    std::optional<int64_t> endUtc;  // none while it lasts or for a moment's event
    int utcOffsetMinutes = 0;
    std::optional<double> lowestBatteryVolts, lowestCharge;
    // A mains failure's charge at its start and its load's average, in
    // percent: what the runtime is learned from.
    std::optional<double> startCharge, averageLoad;
    std::string action;   // what the program did ("shutdown", ...); empty for nothing
    std::string details;  // a test's outcome, a fault's text
};

// One recorded discharge: a mains failure's length, the charge it began and
// ended with and the load it had, in percent.
struct Discharge {
    double seconds = 0, startCharge = 0, endCharge = 0, averageLoad = 0;
    bool operator==(const Discharge&) const = default;
};

// "History Days": how long minutes and events are kept.
// The bounds are the setting's, kept in core so the settings table sees them too.
inline constexpr int kHistoryDaysMin = kHistoryDaysRange.min;
inline constexpr int kHistoryDaysMax = kHistoryDaysRange.max;
int ClampHistoryDays(int days);

}  // namespace velt
