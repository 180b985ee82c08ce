#pragma once
// The system's error text as log lines carry it.
#include <string>

namespace velt {

// At most 255 characters, with trailing blanks, control characters and full
// stops removed.
std::string TrimSystemErrorText(std::string text);

// "operation: (0x0000001F) message": a seam's last error, told the same way
// on every system.
std::string OperationErrorText(const std::string& operation, unsigned long code, const std::string& message);

}  // namespace velt
