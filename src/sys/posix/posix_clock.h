#pragma once
// Real time for native tests that talk to a real device.
#include "sys/clock.h"

namespace velt {

class PosixClock : public IClock, public ISleeper {
public:
    LocalDateTime Now() const override;
    uint64_t MonotonicMs() const override;
    void Sleep(unsigned ms) override;
};

}  // namespace velt
