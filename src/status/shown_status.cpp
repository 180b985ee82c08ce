#include "status/shown_status.h"

#include <utility>

namespace velt {

const TUPSStatus* LastReply(const ShownStatus& shown) { return shown.replied ? &shown.reading : nullptr; }

ShownStatus ComposeShownStatus(ShownStatusParts parts) {
    ShownStatus shown;
    shown.reading = std::move(parts.reading);
    shown.replied = parts.replied;
    shown.identity = std::move(parts.identity);
    shown.upsFound = parts.upsFound;
    shown.device = std::move(parts.device);
    ShownLive& live = shown.live;
    // Nothing answers while monitoring is stopped.
    live.responding = parts.upsFound && parts.monitoring && parts.linkResponding;
    live.nominalBatteryVolts = parts.nominalBatteryVolts;
    live.chargePercent = parts.chargePercent;
    if (parts.fullTenths > parts.emptyTenths) {
        live.emptyVolts = parts.emptyTenths / 10.0;
        live.fullVolts = parts.fullTenths / 10.0;
    }
    live.forcedShutdown = parts.forcedShutdown;
    live.alertsWaiting = parts.alertsWaiting;
    // A second begun counts whole: the countdown never shows 0 while it runs.
    if (parts.countdownRemainingMs)
        live.countdownSeconds = static_cast<int>((*parts.countdownRemainingMs + 999) / 1000);
    // What follows from the readings is as stale as they are once the UPS is silent.
    live.power.ratingWatts = parts.power.ratingWatts;
    if (live.responding) live.power = parts.power;
    return shown;
}

}  // namespace velt
