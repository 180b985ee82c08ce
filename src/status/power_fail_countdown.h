#pragma once
// The status evaluation's view of the power-fail countdown: it reports the
// failure's edges and asks the minimum-voltage rule on every failure reply.

namespace velt {

class IPowerFailCountdown {
public:
    virtual ~IPowerFailCountdown() = default;
    // Arms the delay once per failure when "Delay Action" is on.
    virtual void PowerFailBegins() = 0;
    virtual bool VoltageRuleHolds(double batteryVoltage) const = 0;
    // Re-arms a 100 ms countdown; replaces any running one.
    virtual void ArmByVoltageRule() = 0;
    // Cancels a running countdown.
    virtual void PowerReturned() = 0;
};

}  // namespace velt
