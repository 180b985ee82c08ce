#pragma once
// When to wake the hosts after a power failure: once the mains have been back
// for "Wake Delay" minutes without failing again, and the battery holds at
// least "Wake Min Charge" percent, so that the hosts' start-up does not find
// an empty battery if the mains go again. Driven by every evaluated reading,
// on the main thread; times are the monotonic clock's.
#include <cstdint>
#include <optional>

namespace velt {

struct WakeReading {
    bool powerFail = false;  // the evaluation's power-fail state
    std::optional<double> chargePercent;
    // This computer is acting on a failure (program, shutdown, suspend) or
    // has asked to power off: whoever it would wake would outlive it.
    bool shuttingDown = false;
    uint64_t nowMs = 0;
};

struct WakeLimits {
    int delayMinutes = 5;
    int minChargePercent = 50;
};

class WakeOnLanRule {
public:
    // True once per return of the mains: the moment to send.
    bool Observe(const WakeReading& reading, const WakeLimits& limits);
    bool Waiting() const { return returnedAtMs_.has_value(); }

private:
    bool failureSeen_ = false;
    std::optional<uint64_t> returnedAtMs_;  // armed: the mains came back then
};

}  // namespace velt
