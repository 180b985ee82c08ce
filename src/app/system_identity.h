#pragma once
// How the program names and judges the system it runs on: the OS label of the
// About group, the requirement check, and the rules that follow from the
// major version.
#include <cstdint>
#include <optional>
#include <string>

#include "sys/system_info.h"

namespace velt {

// A name by version and product type, the version numbers, the service-pack
// text and the architecture, e.g. " Windows 7 6.1.7601 Service Pack 1 x64".
// Versions without a known name (6.3, 10.0) start with the numbers.
std::string ComposeOsLabel(const OsVersionRecord& os, std::optional<uint16_t> nativeArchitecture);

// " x64" when the native query exists and reports x64, " x86" otherwise.
std::string ArchitectureSuffix(std::optional<uint16_t> nativeArchitecture);

// The NT family from major version 5 on; anything else ends the program.
bool MeetsSystemRequirement(const OsVersionRecord& os);

}  // namespace velt
