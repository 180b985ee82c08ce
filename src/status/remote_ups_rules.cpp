#include "status/remote_ups_rules.h"

namespace velt {

RemoteUpsRules::Verdict RemoteUpsRules::OnReading(bool onBattery, bool forcedShutdown, uint64_t nowMs) {
    heard_ = true;
    onBattery_ = onBattery;
    lastHeardMs_ = nowMs;
    deadReported_ = false;
    const bool appeared = forcedShutdown && !forcedShutdown_;
    forcedShutdown_ = forcedShutdown;
    return appeared ? Verdict::ForcedShutdown : Verdict::None;
}

RemoteUpsRules::Verdict RemoteUpsRules::OnSilence(uint64_t nowMs, uint32_t deadTimeSeconds) {
    if (!heard_ || !onBattery_ || deadReported_) return Verdict::None;
    if (nowMs - lastHeardMs_ <= static_cast<uint64_t>(deadTimeSeconds) * 1000u) return Verdict::None;
    deadReported_ = true;
    return Verdict::DeadOnBattery;
}

}  // namespace velt
