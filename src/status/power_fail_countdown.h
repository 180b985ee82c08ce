#pragma once
// The status evaluation's view of the power-fail countdown: it reports the
// failure's edges and the battery voltage of every failure reply.
#include <optional>

namespace velt {

class IPowerFailCountdown {
public:
    virtual ~IPowerFailCountdown() = default;
    // Arms the delay once per failure when "Delay Action" is on.
    virtual void PowerFailBegins() = 0;
    // The pack voltage of a failure reply, none when the UPS gave none. Called
    // after PowerFailBegins for the same reply, so the voltage rule wins.
    virtual void VoltageReading(std::optional<double> packVolts) = 0;
    // Cancels a running countdown.
    virtual void PowerReturned() = 0;
};

}  // namespace velt
