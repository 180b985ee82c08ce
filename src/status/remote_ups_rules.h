#pragma once
// What a UPS read from a NUT server asks of this computer beyond the local
// rules: a forced shutdown set by the server's primary, and silence while on
// battery (an on-battery UPS that cannot be heard from may be about to cut
// the power; waiting for its low battery would wait for nothing). Main
// thread only; times from the monotonic clock.
#include <cstdint>

namespace velt {

class RemoteUpsRules {
public:
    enum class Verdict {
        None,
        ForcedShutdown,  // FSD appeared: act at once
        DeadOnBattery,   // on battery and unheard for longer than the dead time
    };

    // A reading arrived. FSD counts once, on its appearance.
    Verdict OnReading(bool onBattery, bool forcedShutdown, uint64_t nowMs);
    // A poll that gave no reading (connection lost, refused, stale data).
    // Once per silence: the next reading starts a new one.
    Verdict OnSilence(uint64_t nowMs, uint32_t deadTimeSeconds);
    // Monitoring starts again: nothing is known yet.
    void Reset() { *this = RemoteUpsRules{}; }

private:
    bool heard_ = false;
    bool onBattery_ = false;
    bool forcedShutdown_ = false;
    bool deadReported_ = false;
    uint64_t lastHeardMs_ = 0;
};

}  // namespace velt
