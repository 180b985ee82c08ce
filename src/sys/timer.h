#pragma once
// A window timer as the logic sees it: an interval in milliseconds and an
// enabled state. Enabling (re)starts the count from zero; its handler runs on the
// main thread. Tests drive the handler by hand.
#include <cstdint>

namespace velt {

class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void SetInterval(uint32_t ms) = 0;
    virtual uint32_t Interval() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
};

}  // namespace velt
