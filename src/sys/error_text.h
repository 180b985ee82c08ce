#pragma once
// The system's error text as log lines carry it.
#include <string>

namespace velt {

// At most 255 characters, with trailing blanks, control characters and full
// stops removed.
std::string TrimSystemErrorText(std::string text);

}  // namespace velt
