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

// In a fixed order, ups.status first (none before the first reply). Values are UTF-8 without control
// characters; numbers are written with a dot. `forcedShutdown` adds FSD to ups.status.
std::vector<NutVariable> NutVariables(const ShownStatus& shown, const NutDeviceNames& names, bool forcedShutdown);

// GET TYPE's answer: "STRING:n" for a text, n the most bytes it holds (its
// own length when that is more), "NUMBER" for everything else.
std::string NutType(const NutVariable& variable);

// LIST UPS's description: "<maker> <model>" as the UPS names itself; empty
// while it has named neither.
std::string NutUpsDescription(const ShownStatus& shown);

// Whether the clients are refused the variables (DATA-STALE): no UPS found,
// none answering, or no reply of it yet.
bool NutReadingsStale(const ShownStatus& shown);

}  // namespace velt
