#pragma once
// A timer that also knows when it will fire: it passes every call on to the
// real timer and notes the moment it was enabled, so the time left can be read
// (the power-fail countdown shown to network clients).
#include <cstdint>
#include <optional>

#include "sys/clock.h"
#include "sys/timer.h"

namespace velt {

class DeadlineTimer final : public ITimer {
public:
    DeadlineTimer(ITimer& timer, const IClock& clock) : timer_(timer), clock_(clock) {}

    void SetInterval(uint32_t ms) override {
        timer_.SetInterval(ms);
        if (timer_.Enabled()) startedMs_ = clock_.MonotonicMs();  // a new interval restarts the count
    }
    uint32_t Interval() const override { return timer_.Interval(); }
    void SetEnabled(bool enabled) override {
        timer_.SetEnabled(enabled);
        if (enabled) startedMs_ = clock_.MonotonicMs();
    }
    bool Enabled() const override { return timer_.Enabled(); }

    // Milliseconds until it fires; none while it is off.
    std::optional<uint64_t> RemainingMs() const {
        if (!timer_.Enabled()) return std::nullopt;
        const uint64_t elapsed = clock_.MonotonicMs() - startedMs_;
        const uint64_t interval = timer_.Interval();
        return elapsed >= interval ? 0 : interval - elapsed;
    }

private:
    ITimer& timer_;
    const IClock& clock_;
    uint64_t startedMs_ = 0;
};

}  // namespace velt
