#pragma once
// The status page's runtime and watts lines, from the figures the engine
// worked out: "Runtime left: 12 min" while on battery, "Full-charge runtime
// at this load: 25 min" on mains, "Load: 180 W" when the rating is set. An
// unknown figure gives an empty line. Plain C++.
#include <string>

#include "status/shown_status.h"

namespace velt::ui {

// "12 min", "1 h 5 min", "under 1 min"; minutes begun are not counted, so a
// runtime is never promised longer than estimated.
std::string DurationText(int seconds);

std::string RuntimeLine(const ShownPower& power, bool onBattery);
std::string WattsLine(const ShownPower& power);

}  // namespace velt::ui
