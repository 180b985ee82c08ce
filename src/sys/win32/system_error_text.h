#pragma once
// The system's message text for an error code, as log lines and error boxes
// carry it (trailing blanks, line breaks and full stops removed).
#include <string>

namespace velt::win {

std::string SystemErrorText(unsigned long code);

// Reads GetLastError() at once; call it before anything else can reset it.
std::string LastErrorText();
// The same, as "operation: (0x0000001F) message".
std::string LastErrorText(const std::string& operation);

}  // namespace velt::win
