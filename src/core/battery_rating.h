#pragma once
// What detection tells the battery estimate at the end of every detection on an
// open link. The estimate lives above the core; this is its face towards it.
#include <optional>

namespace velt {

class IBatteryRating {
public:
    virtual ~IBatteryRating() = default;
    // The F probe's rated battery voltage, or none to ask the user.
    virtual void ApplyNominalVoltage(std::optional<double> ratedBatteryVolts) = 0;
};

}  // namespace velt
