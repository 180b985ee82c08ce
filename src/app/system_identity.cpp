#include "app/system_identity.h"

namespace velt {
namespace {

struct OsName {
    uint32_t major, minor;
    const char* workstation;
    const char* server;  // any product type other than workstation
};

constexpr OsName kOsNames[] = {
    {5, 0, " Windows 2000", " Windows 2000"},
    {5, 1, " Windows XP", " Windows XP"},
    {5, 2, " Windows 2003", " Windows 2003"},
    {6, 0, " Windows Vista", " Windows Server 2008"},
    {6, 1, " Windows 7", " Windows Server 2008 R2"},
    {6, 2, " Windows 8", " Windows Server 8"},
};

std::string NameOf(const OsVersionRecord& os) {
    if (os.platformId != kPlatformNt) return {};
    for (const OsName& n : kOsNames)
        if (n.major == os.major && n.minor == os.minor)
            return os.productType == kProductWorkstation ? n.workstation : n.server;
    return {};
}

}  // namespace

std::string ArchitectureSuffix(std::optional<uint16_t> nativeArchitecture) {
    return nativeArchitecture == kProcessorArchitectureAmd64 ? " x64" : " x86";
}

std::string ComposeOsLabel(const OsVersionRecord& os, std::optional<uint16_t> nativeArchitecture) {
    return NameOf(os) + " " + std::to_string(os.major) + "." + std::to_string(os.minor) + "." +
           std::to_string(os.build) + " " + os.servicePack + ArchitectureSuffix(nativeArchitecture);
}

bool MeetsSystemRequirement(const OsVersionRecord& os) { return os.platformId == kPlatformNt && os.major >= 5; }

}  // namespace velt
