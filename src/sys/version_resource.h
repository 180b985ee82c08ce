#pragma once
// Where the program's own version text sits in its version resource.
#include <cstdint>
#include <string>

namespace velt {

// Sub-block of a string entry for the first translation: "\StringFileInfo\" +
// language and code page as eight upper-case hex digits + "\" + entry.
std::string VersionStringSubBlock(uint16_t language, uint16_t codePage, const std::string& entry);

}  // namespace velt
