#pragma once
// The UPS as the NUT network protocol names it: the variables a client reads
// with LIST VAR and GET VAR, made from the published snapshot. A variable the
// UPS has not given is absent, not zero.
#include <optional>
#include <string>
#include <vector>

#include "status/shown_status.h"

namespace velt {

struct NutVariable {
    std::string name, value;

    bool operator==(const NutVariable&) const = default;
};

struct NutDeviceNames {
    std::string deviceSerial;   // the USB serial string, else the kept "NUT Device Id"
    std::string driverVersion;  // the program's version
};

// The ups.status words ("OL", "OB LB", "FSD OB LB", "OL BOOST" ...); none
// until a reply held the whole status field. Never "OFF": some NAS units
// power off at once on it.
std::optional<std::string> NutStatusWords(const TShownStatus& shown, bool forcedShutdown);

// In a fixed order, ups.status first. Values are UTF-8 without control
// characters; numbers are written with a dot. `forcedShutdown` adds FSD to ups.status.
std::vector<NutVariable> NutVariables(const TShownStatus& shown, const NutDeviceNames& names, bool forcedShutdown);

}  // namespace velt
