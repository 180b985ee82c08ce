#pragma once
// The UPS's state in the words NUT clients read in ups.status ("OL", "OB LB",
// "FSD OB LB", "OL BOOST", "OL CAL"), decided once from the reading; the
// window's mode word and AVR caption take the same decisions.
#include <string>

#include "status/ups_status.h"

namespace velt {

// What the automatic voltage regulation does with the input, from the input
// and output voltages of the last reply.
enum class Regulation { None, Boost, Trim, Level };

struct StatusWords {
    bool forcedShutdown = false;  // FSD: the clients are to shut down
    bool onBattery = false;       // OB, else OL
    bool batteryLow = false;      // LB
    Regulation regulation = Regulation::None;
    bool calibrating = false;  // CAL: a test runs, read from a whole status field
};

// From the reading as the window shows it: the bits it keeps from a reply cut
// short are the clients' too, rather than no status, which would hide FSD
// from them during the countdown.
StatusWords StatusWordsOf(const TUPSStatus& status, bool forcedShutdown);

// The ups.status value, in the order the clients expect: "FSD OB LB BOOST CAL".
// Never "OFF": some NAS units power off at once on it.
std::string NutStatusWords(const TUPSStatus& status, bool forcedShutdown);

}  // namespace velt
