#pragma once
// Real time for native tests that talk to a real device.
#include "sys/clock.h"

namespace velt {

class PosixClock : public IClock, public ISleeper {
public:
    LocalDateTime Now() const override;
    void Sleep(unsigned ms) override;
};

}  // namespace velt
