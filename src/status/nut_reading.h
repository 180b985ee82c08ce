#pragma once
// A UPS read from a NUT server elsewhere, as the monitor takes it: one LIST
// VAR reply turned into the reading a local reply would have given, so the
// evaluation, the window and the feeds need not know where it came from.
#include <map>
#include <optional>
#include <string>

#include "status/ups_status.h"
#include "sys/clock.h"

namespace velt {

// The variables of one LIST VAR reply: name to value, the value unquoted as
// the server sent it.
using NutVariableTable = std::map<std::string, std::string>;

// Who made the UPS, as the server names it; empty where it names nothing.
struct NutIdentity {
    std::string mfr, model, firmware, serial;

    bool operator==(const NutIdentity&) const = default;
};

struct NutReading {
    // A complete reply: every field cut, those the server left out with an
    // empty text and no value; the status field "01001001" built from the
    // ups.status words, so that every reader takes it as a whole one.
    TUPSStatus status;
    // FSD in ups.status: the server's primary is shutting the UPS down.
    bool forcedShutdown = false;
    // battery.charge; none where the server gives none, and the monitor's own
    // estimate from the voltage applies.
    std::optional<double> chargePercent;
    NutIdentity identity;
    std::string beeperStatus;  // "enabled", "disabled", "muted"; empty when not given

    bool operator==(const NutReading&) const = default;
};

// Never fails: a value that is not a number gives its text with no value.
NutReading ReadingFromNutVariables(const NutVariableTable& variables, const LocalDateTime& when);

}  // namespace velt
