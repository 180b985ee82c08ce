#pragma once
// The last status reply as the network feeds (NUT variables, JSON, metrics)
// give it: each field's text as the UPS sent it with its number, and the
// status bits under stable names. A field the reply did not hold is absent;
// one that does not convert has no number. Numbers are written without the
// locale, always with a dot.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "status/shown_status.h"
#include "status/ups_status.h"

namespace velt {

struct ReplyReading {
    std::string text;
    std::optional<double> value;
};

struct ReplyReadings {
    std::optional<ReplyReading> inputVolts, inputFaultVolts, outputVolts, loadPercent, frequencyHertz,
        batteryVolts, temperatureCelsius;
};

ReplyReadings ReadingsOf(const TUPSStatus& status);

struct StatusFlag {
    const char* key;  // lower case with underscores, as JSON keys and metric labels
    bool TUPSStatus::*bit;
};

inline constexpr std::array<StatusFlag, 8> kStatusFlags = {{
    {"power_fail", &TUPSStatus::PowerFail},
    {"battery_low", &TUPSStatus::BatteryLow},
    {"avr", &TUPSStatus::AVR},
    {"ups_failed", &TUPSStatus::UPSFailed},
    {"standby", &TUPSStatus::StandbyUPS},
    {"test_in_progress", &TUPSStatus::TestInProgress},
    {"shutdown_active", &TUPSStatus::ShutdownActive},
    {"beeper_on", &TUPSStatus::BeeperOn},
}};

// Whether the reply held the whole status field, so that every bit is the UPS's.
bool StatusBitsKnown(const TUPSStatus& status);

// The estimate held within 0..100; none without one.
std::optional<double> ChargePercent(const TShownLive& live);

// The rated battery voltage of the "F" reply, else the estimate's nominal
// voltage; none before either is known.
std::optional<double> NominalBatteryVolts(const TShownStatus& shown);

// A USB vendor or product id as four lower-case hex digits ("0665").
std::string UsbIdText(uint16_t id);

// At most `decimals` places, trailing zeros dropped ("221", "13.62", "-0.5");
// none for infinities and NaN, which no feed can carry.
std::optional<std::string> DecimalText(double value, int decimals = 3);

}  // namespace velt
