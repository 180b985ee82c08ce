#include "ui/power_text.h"

#include <cmath>

#include "reports/duration_text.h"
#include "ui/string_ids.h"

namespace velt::ui {

namespace {

std::string Caption(StringId caption, const std::string& value) {
    return std::string(TextOf(caption)) + " " + value;
}

}  // namespace

std::string DurationText(int seconds) {
    return velt::DurationText(seconds, {TextOf(IDS_UnderAMinute), TextOf(IDS_MinutesShort), TextOf(IDS_HoursShort)});
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
