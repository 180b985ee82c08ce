#include "reports/nut_variables.h"

#include "core/control_chars.h"
#include "reports/ansi_utf8.h"
#include "reports/ups_readings.h"

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
    void AddReading(const char* name, const std::optional<ReplyReading>& reading) {
        if (reading) AddNumber(name, reading->value);
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

Identity IdentityOf(const TShownDevice& device) {
    const std::string protocol = device.protocol.empty() ? kUnknownProtocol : device.protocol;
    if (!device.info) return {protocol, kDefaultModel, std::nullopt};
    return {NonBlank(device.info->Mfr).value_or(protocol), NonBlank(device.info->Model).value_or(kDefaultModel),
            NonBlank(device.info->Ver)};
}

}  // namespace

std::optional<std::string> NutStatusWords(const TShownStatus& shown, bool forcedShutdown) {
    const auto& status = shown.live.status;
    if (!status) return std::nullopt;
    // A reply cut short of its status field leaves the bits the window shows
    // as they were; the clients get those rather than no status at all, which
    // would hide FSD from them during the countdown.
    const bool bitsKnown = StatusBitsKnown(*status);
    const TShownReadings& kept = shown.readings;
    const bool powerFail = bitsKnown ? status->PowerFail : kept.PowerFail;
    const bool batteryLow = bitsKnown ? status->BatteryLow : kept.BatteryLow;
    const bool avr = bitsKnown ? status->AVR : kept.AVR;
    std::string words = forcedShutdown ? "FSD " : "";
    words += powerFail ? "OB" : "OL";
    if (batteryLow) words += " LB";
    const ReplyReadings readings = ReadingsOf(*status);
    if (avr && readings.inputVolts && readings.inputVolts->value && readings.outputVolts &&
        readings.outputVolts->value) {
        const double input = *readings.inputVolts->value, output = *readings.outputVolts->value;
        if (input < output) words += " BOOST";
        if (input > output) words += " TRIM";
    }
    if (bitsKnown && status->TestInProgress) words += " CAL";
    return words;
}

std::vector<NutVariable> NutVariables(const TShownStatus& shown, const NutDeviceNames& names, bool forcedShutdown) {
    const auto& live = shown.live;
    const ReplyReadings readings = live.status ? ReadingsOf(*live.status) : ReplyReadings{};
    const bool bitsKnown = live.status && StatusBitsKnown(*live.status);
    const Identity identity = IdentityOf(shown.device);

    VariableList vars;
    vars.Add("ups.status", NutStatusWords(shown, forcedShutdown));
    vars.AddNumber("battery.charge", ChargePercent(live), 1);
    vars.AddNumber("battery.voltage", live.packVolts, 2);
    vars.AddNumber("battery.voltage.high", live.fullVolts, 2);
    vars.AddNumber("battery.voltage.low", live.emptyVolts, 2);
    vars.AddNumber("battery.voltage.nominal", NominalBatteryVolts(shown), 2);
    vars.Add("device.mfr", identity.mfr);
    vars.Add("device.model", identity.model);
    vars.Add("device.serial", NonBlank(names.deviceSerial));
    vars.Add("device.type", "ups");
    vars.Add("driver.name", "veltrano");
    vars.Add("driver.version", NonBlank(names.driverVersion));
    vars.AddReading("input.frequency", readings.frequencyHertz);
    vars.AddReading("input.voltage", readings.inputVolts);
    vars.AddReading("input.voltage.fault", readings.inputFaultVolts);
    vars.AddReading("output.voltage", readings.outputVolts);
    if (bitsKnown) vars.Add("ups.beeper.status", live.status->BeeperOn ? "enabled" : "disabled");
    vars.Add("ups.firmware", identity.firmware);
    vars.AddReading("ups.load", readings.loadPercent);
    vars.Add("ups.mfr", identity.mfr);
    vars.Add("ups.model", identity.model);
    if (shown.device.usb) vars.Add("ups.productid", UsbIdText(shown.device.pid));
    vars.AddReading("ups.temperature", readings.temperatureCelsius);
    if (shown.device.usb) vars.Add("ups.vendorid", UsbIdText(shown.device.vid));
    return vars.Take();
}

}  // namespace velt
