#pragma once
// The one number conversion for every number the UPS or the user supplies.
#include <optional>
#include <string_view>

namespace velt {

// "." and "," both read as the decimal separator; leading/trailing codes 0..32
// are ignored. `localeSeparator` is the user's decimal separator.
std::optional<double> UPSStrToFloat(std::string_view text, char localeSeparator = '.');

}  // namespace velt
