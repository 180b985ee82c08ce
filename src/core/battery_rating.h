#pragma once
// What detection tells the battery estimate at the end of every detection on an
// open link. The estimate lives above the core; this is its face towards it.
#include <optional>

namespace velt {

// Whether a detection without a rated voltage may ask the user for it. One the
// user did not start (a USB arrival, a reconnect) asks only while none is known:
// a dialog nobody expects must not hold up the monitor.
enum class NominalQuestion { Ask, OnlyWhenUnknown };

class IBatteryRating {
public:
    virtual ~IBatteryRating() = default;
    // The F probe's rated battery voltage, or none to ask the user (or to keep
    // the known one, as `question` allows).
    virtual void ApplyNominalVoltage(std::optional<double> ratedBatteryVolts,
                                     NominalQuestion question = NominalQuestion::Ask) = 0;
};

}  // namespace velt
