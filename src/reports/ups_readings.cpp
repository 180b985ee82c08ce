#include "reports/ups_readings.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/ups_number.h"

namespace velt {

namespace {

// The reply's fields 1..7 in their order; the 8th holds the status bits.
constexpr std::array<std::string TUPSStatus::*, 7> kFieldTexts = {
    &TUPSStatus::IPVoltage,   &TUPSStatus::IPFaultVoltage, &TUPSStatus::OPVoltage,  &TUPSStatus::OPCurrent,
    &TUPSStatus::IPFrequency, &TUPSStatus::BatteryVoltage, &TUPSStatus::Temperature,
};
constexpr std::array<std::optional<ReplyReading> ReplyReadings::*, 7> kReadings = {
    &ReplyReadings::inputVolts,     &ReplyReadings::inputFaultVolts, &ReplyReadings::outputVolts,
    &ReplyReadings::loadPercent,    &ReplyReadings::frequencyHertz,  &ReplyReadings::batteryVolts,
    &ReplyReadings::temperatureCelsius,
};
constexpr size_t kStatusFieldNumber = 8;

}  // namespace

ReplyReadings ReadingsOf(const TUPSStatus& status) {
    ReplyReadings readings;
    for (size_t i = 0; i < kFieldTexts.size() && static_cast<int>(i) < status.FieldsCut; ++i) {
        const std::string& text = status.*kFieldTexts[i];
        // Both "." and "," read as the separator, whatever the locale.
        readings.*kReadings[i] = ReplyReading{text, UPSStrToFloat(text)};
    }
    return readings;
}

bool StatusBitsKnown(const TUPSStatus& status) {
    return status.FieldsCut >= static_cast<int>(kStatusFieldNumber) && status.UPSStatus.size() >= kStatusFlags.size();
}

std::optional<double> ChargePercent(const TShownLive& live) {
    if (!live.chargePercent || std::isnan(*live.chargePercent)) return std::nullopt;
    return std::fmin(std::fmax(*live.chargePercent, 0.0), 100.0);
}

std::optional<double> NominalBatteryVolts(const TShownStatus& shown) {
    if (shown.device.rated) return shown.device.rated->BatteryVoltage;
    if (shown.live.nominalBatteryVolts > 0) return shown.live.nominalBatteryVolts;
    return std::nullopt;
}

std::string UsbIdText(uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(id));
    return text;
}

std::optional<std::string> DecimalText(double value, int decimals) {
    if (!std::isfinite(value)) return std::nullopt;
    char text[400];  // the longest fixed form of a double with a few places
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return std::nullopt;
    std::string out(text, end);
    if (out.find('.') != std::string::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out;
}

}  // namespace velt
