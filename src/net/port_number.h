#pragma once
// A TCP port as the user typed it.
#include <cstdint>
#include <optional>
#include <string_view>

namespace velt {

// "1" to "65535", digits only; none for anything else.
std::optional<uint16_t> PortNumber(std::string_view text);

}  // namespace velt
