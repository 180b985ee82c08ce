#include "sys/version_resource.h"

#include <cstdio>

namespace velt {

std::string VersionStringSubBlock(uint16_t language, uint16_t codePage, const std::string& entry) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%04X%04X", language, codePage);
    return "\\StringFileInfo\\" + std::string(hex) + "\\" + entry;
}

}  // namespace velt
