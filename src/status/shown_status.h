#pragma once
// What the window shows of the UPS, as one value that threads other than the
// main one read: the e-mail and LAN senders, the page server. They never read
// the window or the live objects; the main thread publishes a fresh copy.
#include <array>
#include <string>

#include "core/published.h"
#include "status/warnings.h"

namespace velt {

// The readings part, kept by the status evaluation as it shows them.
struct TShownReadings {
    // Fields 1..8 at [0]..[7] (IPVoltageE ... UPSStatusE), the texts exactly as
    // the UPS sent them; empty until shown.
    std::array<std::string, 8> fields;
    // UPSStatusCB1..UPSStatusCB4.
    bool PowerFail = false, BatteryLow = false, AVR = false, UPSFailed = false;

    bool operator==(const TShownReadings&) const = default;
};

struct TShownStatus {
    TShownReadings readings;
    UpsIdentityText identity;  // VIDE, PIDE, ProductNameE
    bool upsFound = false;     // a protocol was detected, over USB or serial

    bool operator==(const TShownStatus&) const = default;
};

// Published by the main thread after every change of what the window shows.
using TShownStatusPublisher = TPublished<TShownStatus>;

}  // namespace velt
