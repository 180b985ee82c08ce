#include "status/wake_on_lan_rule.h"

namespace velt {

bool WakeOnLanRule::Observe(const WakeReading& reading, const WakeLimits& limits) {
    if (reading.powerFail) {
        // A new failure: the wait starts again at the next return.
        failureSeen_ = true;
        returnedAtMs_.reset();
        return false;
    }
    if (failureSeen_) {
        failureSeen_ = false;
        if (!reading.shuttingDown) returnedAtMs_ = reading.nowMs;
    }
    if (!returnedAtMs_) return false;
    if (reading.shuttingDown) {
        returnedAtMs_.reset();
        return false;
    }
    const uint64_t delayMs = static_cast<uint64_t>(limits.delayMinutes) * 60000u;
    if (reading.nowMs - *returnedAtMs_ < delayMs) return false;
    // No charge known (a UPS whose battery has no thresholds yet): the hosts
    // were asked for, so they are woken rather than left off for good.
    if (reading.chargePercent && *reading.chargePercent < limits.minChargePercent) return false;
    returnedAtMs_.reset();
    return true;
}

}  // namespace velt
