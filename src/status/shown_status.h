#pragma once
// What the window shows of the UPS, as one value that threads other than the
// main one read: the e-mail and LAN senders, the page server, the NUT server.
// They never read the window or the live objects; the main thread publishes a
// fresh copy.
#include <cstdint>
#include <optional>
#include <string>

#include "core/published.h"
#include "core/reply_parsers.h"
#include "status/ups_status.h"
#include "status/warnings.h"

namespace velt {

// What the monitor knows of the UPS beyond its readings, for the network
// readers (NUT server, JSON and metrics): whole values, not texts.
struct ShownDevice {
    std::string protocol;  // "Megatec" or "Mustek"; empty while none was detected
    bool usb = false;      // the link is HID rather than serial
    uint16_t vid = 0, pid = 0;
    std::optional<TUPSInformation> info;  // the "I" reply, when one came
    std::optional<RatedValues> rated;    // the "F" reply, when one came

    bool operator==(const ShownDevice&) const = default;
};

// The runtime and the watts, each none while unknown.
struct ShownPower {
    std::optional<int> runtimeSeconds;            // at the present charge and load
    std::optional<int> fullChargeRuntimeSeconds;  // from a full battery at the present load
    std::optional<double> realPowerWatts;         // "UPS Rating W" x the load
    std::optional<double> ratingWatts;            // "UPS Rating W", when set

    bool operator==(const ShownPower&) const = default;
};

struct ShownLive {
    // False while the UPS is not responding (no reply within the watch's limit).
    bool responding = false;
    std::optional<double> chargePercent;  // the battery estimate
    double nominalBatteryVolts = 0;
    // The empty and full thresholds the estimate places the pack voltage
    // between, in volts; none while they give no estimate (full not above empty).
    std::optional<double> emptyVolts, fullVolts;
    // FSD is set for the NUT server's clients: they are to shut down.
    bool forcedShutdown = false;
    // Seconds left while the power-fail countdown runs.
    std::optional<int> countdownSeconds;
    ShownPower power;
    // Alerts written to the outbox and not yet sent; none without an outbox.
    std::optional<int64_t> alertsWaiting;

    bool operator==(const ShownLive&) const = default;
};

struct ShownStatus {
    // The readings as the window shows them: the last reply's fields over
    // those of earlier replies it did not reach, the bits last evaluated;
    // blank before the first reply and while the UPS does not answer.
    TUPSStatus reading;
    // `reading` holds a reply of the UPS monitored now: false before its
    // first reply and after a search that found none.
    bool replied = false;
    UpsIdentityText identity;  // VIDE, PIDE, ProductNameE
    bool upsFound = false;     // a protocol was detected, over USB or serial
    ShownDevice device;
    ShownLive live;

    bool operator==(const ShownStatus&) const = default;
};

// The reading when it is the monitored UPS's; none before its first reply.
const TUPSStatus* LastReply(const ShownStatus& shown);

// What the snapshot is composed from, as the main thread has it.
struct ShownStatusParts {
    TUPSStatus reading;
    bool replied = false;
    UpsIdentityText identity;
    bool upsFound = false;
    bool monitoring = false;
    bool linkResponding = false;  // the link watch's verdict
    ShownDevice device;
    double nominalBatteryVolts = 0;
    std::optional<double> chargePercent;
    int32_t emptyTenths = 0, fullTenths = 0;  // the estimate's thresholds as set
    bool forcedShutdown = false;
    std::optional<uint64_t> countdownRemainingMs;
    ShownPower power;  // as worked out from the readings above
    std::optional<int64_t> alertsWaiting;
};

ShownStatus ComposeShownStatus(ShownStatusParts parts);

// Published by the main thread after every change of what the window shows.
using ShownStatusPublisher = Published<ShownStatus>;

}  // namespace velt
