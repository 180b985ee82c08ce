#pragma once
// What the window shows of the UPS, as one value that threads other than the
// main one read: the e-mail and LAN senders, the page server. They never read
// the window or the live objects; the main thread publishes a fresh copy.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/published.h"
#include "core/reply_parsers.h"
#include "status/ups_status.h"
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

// What the monitor knows of the UPS beyond the window's fields, for the
// network readers (NUT server, JSON and metrics): whole values, not texts.
struct TShownDevice {
    std::string protocol;  // "Megatec" or "Mustek"; empty while none was detected
    bool usb = false;      // the link is HID rather than serial
    uint16_t vid = 0, pid = 0;
    std::optional<TUPSInformation> info;  // the "I" reply, when one came
    std::optional<TRatedValues> rated;    // the "F" reply, when one came

    bool operator==(const TShownDevice&) const = default;
};

struct TShownLive {
    // The last status reply understood, whole; none before the first.
    std::optional<TUPSStatus> status;
    // False while the UPS is not responding (no reply within the watch's limit).
    bool responding = false;
    std::optional<double> packVolts;     // the battery voltage as the whole pack's
    std::optional<double> chargePercent; // the battery estimate
    double nominalBatteryVolts = 0;
    // The empty and full thresholds the estimate places the pack voltage
    // between, in volts; none while they give no estimate (full not above empty).
    std::optional<double> emptyVolts, fullVolts;
    // FSD is set for the NUT server's clients: they are to shut down.
    bool forcedShutdown = false;
    // Seconds left while the power-fail countdown runs.
    std::optional<int> countdownSeconds;

    bool operator==(const TShownLive&) const = default;
};

struct TShownStatus {
    TShownReadings readings;
    UpsIdentityText identity;  // VIDE, PIDE, ProductNameE
    bool upsFound = false;     // a protocol was detected, over USB or serial
    TShownDevice device;
    TShownLive live;

    bool operator==(const TShownStatus&) const = default;
};

// Published by the main thread after every change of what the window shows.
using TShownStatusPublisher = TPublished<TShownStatus>;

}  // namespace velt
