#include "status/nut_reading.h"

#include <array>
#include <initializer_list>
#include <string_view>

#include "core/ups_number.h"

namespace velt {

namespace {

struct StatusWordBit {
    std::string_view word;
    bool TUPSStatus::*bit;
};

// OFF sets the failure bit: the UPS gives no power, whatever the reason.
constexpr std::array<StatusWordBit, 7> kStatusWordBits = {{
    {"OB", &TUPSStatus::PowerFail},
    {"LB", &TUPSStatus::BatteryLow},
    {"BOOST", &TUPSStatus::AVR},
    {"TRIM", &TUPSStatus::AVR},
    {"CAL", &TUPSStatus::TestInProgress},
    {"ALARM", &TUPSStatus::UPSFailed},
    {"OFF", &TUPSStatus::UPSFailed},
}};

constexpr std::string_view kForcedShutdownWord = "FSD";

const std::string* Find(const NutVariableTable& variables, const char* name) {
    const auto found = variables.find(name);
    return found == variables.end() ? nullptr : &found->second;
}

// The value of the first of `names` the server gives; empty when it gives none.
std::string FirstOf(const NutVariableTable& variables, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (const std::string* value = Find(variables, name)) return *value;
    return {};
}

ReplyField FieldOf(const NutVariableTable& variables, const char* name) {
    const std::string* text = Find(variables, name);
    if (!text) return {};
    return {*text, UPSStrToFloat(*text)};
}

// Sets the bits the words of ups.status name; true when FSD is among them.
bool ApplyStatusWords(std::string_view words, TUPSStatus& status) {
    bool forcedShutdown = false;
    while (!words.empty()) {
        const size_t start = words.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        words.remove_prefix(start);
        const std::string_view word = words.substr(0, words.find(' '));
        words.remove_prefix(word.size());
        forcedShutdown |= word == kForcedShutdownWord;
        for (const StatusWordBit& entry : kStatusWordBits)
            if (word == entry.word) status.*entry.bit = true;
    }
    return forcedShutdown;
}

// The bits as the local status field sends them, one '0' or '1' each.
ReplyField StatusField(const TUPSStatus& status) {
    std::string text;
    for (const StatusFlag& flag : kStatusFlags) text += status.*flag.bit ? '1' : '0';
    return {text, UPSStrToFloat(text)};
}

}  // namespace

NutReading ReadingFromNutVariables(const NutVariableTable& variables, const LocalDateTime& when) {
    NutReading reading;
    TUPSStatus& status = reading.status;
    status.ReplyTime = when;
    for (const ReplyFieldName& name : kReplyFields)
        if (name.nutVariable) status.*name.field = FieldOf(variables, name.nutVariable);
    // A blazer server in front of some units passes on the cell's voltage
    // ("2.27"): the pack's follows from the nominal, as for a local reply.
    if (status.BatteryVoltage.value)
        status.BatteryPack = BatteryPackVoltage(*status.BatteryVoltage.value,
                                                FieldOf(variables, "battery.voltage.nominal").value.value_or(0));

    // Older blazer drivers name it beeper.status.
    reading.beeperStatus = FirstOf(variables, {"ups.beeper.status", "beeper.status"});
    if (const std::string* words = Find(variables, "ups.status")) {
        reading.forcedShutdown = ApplyStatusWords(*words, status);
        status.BeeperOn = reading.beeperStatus == "enabled";
        status.UPSStatus = StatusField(status);
    }
    status.FieldsCut = static_cast<int>(kReplyFields.size());
    status.FailedField = 0;

    reading.chargePercent = FieldOf(variables, "battery.charge").value;
    reading.identity = {FirstOf(variables, {"device.mfr", "ups.mfr"}),
                        FirstOf(variables, {"device.model", "ups.model"}), FirstOf(variables, {"ups.firmware"}),
                        FirstOf(variables, {"device.serial", "ups.serial"})};
    return reading;
}

}  // namespace velt
