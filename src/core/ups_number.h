#pragma once
// The one number conversion for every number the UPS or the user supplies.
#include <cstdint>
#include <optional>
#include <string_view>

namespace velt {

// "." and "," both read as the decimal separator; leading/trailing codes 0..32
// are ignored. `localeSeparator` is the user's decimal separator.
std::optional<double> UPSStrToFloat(std::string_view text, char localeSeparator = '.');

// A whole number as an edit field holds it, e.g. a port: blanks around it and
// one sign allowed, decimal digits only, within 32 bits.
std::optional<int64_t> DecimalInteger(std::string_view text);

}  // namespace velt
