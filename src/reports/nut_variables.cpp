#include "reports/nut_variables.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/control_chars.h"
#include "reports/ansi_utf8.h"
#include "reports/ups_readings.h"
#include "status/status_words.h"

namespace velt {

namespace {

// What the "I" reply names when it names nothing, and a client still needs a
// maker and a model.
constexpr const char* kDefaultModel = "UPS";
constexpr const char* kUnknownProtocol = "Unknown";

class VariableList {
public:
    void Add(const char* name, std::optional<std::string> value) {
        if (value) list_.push_back({name, std::move(*value)});
    }
    void AddNumber(const char* name, std::optional<double> value, int decimals = 3) {
        if (value) Add(name, DecimalText(*value, decimals));
    }
    std::vector<NutVariable> Take() { return std::move(list_); }

private:
    std::vector<NutVariable> list_;
};

// A client reads one value per line: the UPS's bytes as UTF-8, control
// characters as blanks.
std::string NutText(const std::string& ansi) {
    std::string text = Utf8FromAnsi(ansi);
    for (char& c : text)
        if (IsControl(c)) c = ' ';
    return text;
}

std::optional<std::string> NonBlank(const std::string& ansi) {
    const std::string text = NutText(ansi);
    if (text.find_first_not_of(' ') == std::string::npos) return std::nullopt;
    return text;
}

struct Identity {
    std::string mfr, model;
    std::optional<std::string> firmware;
};

Identity IdentityOf(const ShownDevice& device) {
    const std::string protocol = device.protocol.empty() ? kUnknownProtocol : device.protocol;
    if (!device.info) return {protocol, kDefaultModel, std::nullopt};
    return {NonBlank(device.info->Mfr).value_or(protocol), NonBlank(device.info->Model).value_or(kDefaultModel),
            NonBlank(device.info->Ver)};
}

struct TextSize {
    std::string_view name;
    size_t bytes;
};

// The texts among the variables and the room each needs. The identity
// fields are as wide as the "I" reply's columns; a value that grew on its
// way to UTF-8 is longer, and then its own length is given.
constexpr std::array kTexts{
    TextSize{"device.mfr", 15},    TextSize{"device.model", 10},     TextSize{"device.serial", 126},
    TextSize{"device.type", 3},    TextSize{"driver.name", 8},       TextSize{"driver.version", 32},
    TextSize{"ups.beeper.status", 8}, TextSize{"ups.firmware", 10}, TextSize{"ups.mfr", 15},
    TextSize{"ups.model", 10},     TextSize{"ups.productid", 4},     TextSize{"ups.status", 32},
    TextSize{"ups.vendorid", 4},
};

}  // namespace

std::string NutType(const NutVariable& variable) {
    for (const auto& text : kTexts)
        if (text.name == variable.name) return "STRING:" + std::to_string(std::max(text.bytes, variable.value.size()));
    return "NUMBER";
}

std::string NutUpsDescription(const ShownStatus& shown) {
    if (!shown.device.info) return {};
    const auto mfr = NonBlank(shown.device.info->Mfr), model = NonBlank(shown.device.info->Model);
    if (mfr && model) return *mfr + " " + *model;
    return mfr.value_or(model.value_or(""));
}

bool NutReadingsStale(const ShownStatus& shown) {
    return !shown.upsFound || !shown.live.responding || !LastReply(shown);
}

std::vector<NutVariable> NutVariables(const ShownStatus& shown, const NutDeviceNames& names, bool forcedShutdown) {
    const auto& live = shown.live;
    const TUPSStatus* status = LastReply(shown);
    const auto reading = [&shown](ReplyField TUPSStatus::*field) { return ReplyValue(shown, field); };
    const Identity identity = IdentityOf(shown.device);

    VariableList vars;
    if (status) vars.Add("ups.status", NutStatusWords(*status, forcedShutdown));
    vars.AddNumber("battery.charge", ChargePercent(live), 1);
    vars.AddNumber("battery.runtime", OptionalNumber(live.power.runtimeSeconds), 0);
    vars.AddNumber("battery.voltage", PackVolts(shown), 2);
    vars.AddNumber("battery.voltage.high", live.fullVolts, 2);
    vars.AddNumber("battery.voltage.low", live.emptyVolts, 2);
    vars.AddNumber("battery.voltage.nominal", NominalBatteryVolts(shown), 2);
    vars.Add("device.mfr", identity.mfr);
    vars.Add("device.model", identity.model);
    vars.Add("device.serial", NonBlank(names.deviceSerial));
    vars.Add("device.type", "ups");
    vars.Add("driver.name", "veltrano");
    vars.Add("driver.version", NonBlank(names.driverVersion));
    vars.AddNumber("input.frequency", reading(&TUPSStatus::IPFrequency));
    vars.AddNumber("input.voltage", reading(&TUPSStatus::IPVoltage));
    vars.AddNumber("input.voltage.fault", reading(&TUPSStatus::IPFaultVoltage));
    vars.AddNumber("output.voltage", reading(&TUPSStatus::OPVoltage));
    if (status && StatusBitsKnown(*status)) vars.Add("ups.beeper.status", status->BeeperOn ? "enabled" : "disabled");
    vars.Add("ups.firmware", identity.firmware);
    vars.AddNumber("ups.load", reading(&TUPSStatus::OPCurrent));
    vars.Add("ups.mfr", identity.mfr);
    vars.Add("ups.model", identity.model);
    if (shown.device.usb) vars.Add("ups.productid", UsbIdText(shown.device.pid));
    vars.AddNumber("ups.realpower", live.power.realPowerWatts, 0);
    vars.AddNumber("ups.realpower.nominal", live.power.ratingWatts, 0);
    vars.AddNumber("ups.temperature", reading(&TUPSStatus::Temperature));
    if (shown.device.usb) vars.Add("ups.vendorid", UsbIdText(shown.device.vid));
    return vars.Take();
}

}  // namespace velt
