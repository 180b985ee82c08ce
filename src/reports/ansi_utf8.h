#pragma once
// Texts from the UPS and the settings are bytes of the ANSI code page
// (windows-1252); the network feeds speak UTF-8.
#include <string>
#include <string_view>

namespace velt {

// Every byte becomes one character: windows-1252's, and for its five unused
// bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) the C1 control of the same number, as
// Windows converts them. The result is always valid UTF-8.
std::string Utf8FromAnsi(std::string_view ansi);

}  // namespace velt
