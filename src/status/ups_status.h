#pragma once
// TUPSStatus: one status reply, parsed once into what every reader takes:
// each field's text as sent with its number, the status bits, the battery
// pack voltage. Nobody parses the reply text again.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/ups_number.h"
#include "sys/clock.h"

namespace velt {

// One field of the reply: the text exactly as cut (not trimmed) and its
// number; none when the text does not convert.
struct ReplyField {
    std::string text;
    std::optional<double> value;

    bool operator==(const ReplyField&) const = default;
};

// The battery voltage of a reply as the whole pack's. Online units report one
// cell's voltage ("2.27"): below 3 V with a nominal 12 V or more the value is
// taken times the cell count (nominal / 2). Exactly 0 means the UPS does not
// know: no volts.
struct PackVoltage {
    std::optional<double> volts;
    int cells = 1;  // the factor applied; above 1 for a per-cell value

    bool operator==(const PackVoltage&) const = default;
};
PackVoltage BatteryPackVoltage(double reportedVolts, double nominalVolts);

struct TUPSStatus {
    std::string ReplyText;
    LocalDateTime ReplyTime;

    ReplyField IPVoltage, IPFaultVoltage, OPVoltage, OPCurrent, IPFrequency, BatteryVoltage, Temperature,
        UPSStatus;

    bool PowerFail = false, BatteryLow = false, AVR = false, UPSFailed = false,
         StandbyUPS = false, TestInProgress = false, ShutdownActive = false, BeeperOn = false;

    // Field 6 as the whole pack's voltage; none unless it converted.
    PackVoltage BatteryPack;

    // 0 when every conversion that ends the reply succeeded; else 1, 3 or 6.
    // Later fields are not cut.
    int FailedField = 0;
    // How many fields were cut (8 for a complete reply; fewer after a failure
    // or when the reply ends early).
    int FieldsCut = 0;

    bool operator==(const TUPSStatus&) const = default;
};

// The fields in the order the reply sends them, under stable names (lower
// case with underscores: JSON keys, metric labels) and the NUT variable a
// server elsewhere gives each in (none for the status bits, which NUT gives
// as the words of ups.status).
struct ReplyFieldName {
    const char* key;
    ReplyField TUPSStatus::*field;
    const char* nutVariable;
};
inline constexpr std::array<ReplyFieldName, 8> kReplyFields = {{
    {"input_voltage", &TUPSStatus::IPVoltage, "input.voltage"},
    {"input_fault_voltage", &TUPSStatus::IPFaultVoltage, "input.voltage.fault"},
    {"output_voltage", &TUPSStatus::OPVoltage, "output.voltage"},
    {"load_percent", &TUPSStatus::OPCurrent, "ups.load"},  // a percentage in both
    {"input_frequency", &TUPSStatus::IPFrequency, "input.frequency"},
    {"battery_voltage", &TUPSStatus::BatteryVoltage, "battery.voltage"},
    {"temperature", &TUPSStatus::Temperature, "ups.temperature"},
    {"ups_status", &TUPSStatus::UPSStatus, nullptr},
}};

// The bits in the order of their characters in the status field.
struct StatusFlag {
    const char* key;
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

// The field as the last reply held it; none for one that reply did not reach.
const ReplyField* FieldOfReply(const TUPSStatus& status, ReplyField TUPSStatus::*field);

// Whether the last reply held the whole status field, so that every bit is the UPS's.
bool StatusBitsKnown(const TUPSStatus& status);

// The readings gone, for a UPS that stopped answering: the fields, the pack
// voltage and the reply's text. The bits and the time of the last reply stay,
// as the window keeps its status boxes.
void ClearReadings(TUPSStatus& status);

// No status when the reply is empty, no protocol was detected, or it does not
// begin with "(". `nominalBatteryVolts` decides whether field 6 is per cell.
std::optional<TUPSStatus> ParseStatusReply(const std::string& replyText, const LocalDateTime& replyTime,
                                           bool protocolDetected, char localeSeparator = '.',
                                           double nominalBatteryVolts = 12.0);

}  // namespace velt
