#include "ui/power_text.h"

#include <cmath>

#include "ui/string_ids.h"

namespace velt::ui {

namespace {

std::string Caption(StringId caption, const std::string& value) {
    return std::string(TextOf(caption)) + " " + value;
}

}  // namespace

std::string DurationText(int seconds) {
    const int minutes = seconds / 60;
    if (minutes < 1) return TextOf(IDS_UnderAMinute);
    const std::string min = std::to_string(minutes % 60) + " " + TextOf(IDS_MinutesShort);
    if (minutes < 60) return min;
    const std::string hours = std::to_string(minutes / 60) + " " + TextOf(IDS_HoursShort);
    return minutes % 60 ? hours + " " + min : hours;
}

std::string RuntimeLine(const ShownPower& power, bool onBattery) {
    const auto& seconds = onBattery ? power.runtimeSeconds : power.fullChargeRuntimeSeconds;
    if (!seconds) return {};
    return Caption(onBattery ? IDS_RuntimeLeft : IDS_FullChargeRuntime, DurationText(*seconds));
}

std::string WattsLine(const ShownPower& power) {
    if (!power.realPowerWatts || !std::isfinite(*power.realPowerWatts)) return {};
    return Caption(IDS_LoadWatts, std::to_string(std::lround(*power.realPowerWatts)) + " " + TextOf(IDS_Watts));
}

}  // namespace velt::ui
