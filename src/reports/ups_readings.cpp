#include "reports/ups_readings.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace velt {

std::optional<double> ReplyValue(const ShownStatus& shown, ReplyField TUPSStatus::*field) {
    const TUPSStatus* status = LastReply(shown);
    const ReplyField* reading = status ? FieldOfReply(*status, field) : nullptr;
    return reading ? reading->value : std::nullopt;
}

std::optional<double> PackVolts(const ShownStatus& shown) {
    const TUPSStatus* status = LastReply(shown);
    return status ? status->BatteryPack.volts : std::nullopt;
}

std::optional<double> ChargePercent(const ShownLive& live) {
    if (!live.chargePercent || std::isnan(*live.chargePercent)) return std::nullopt;
    return std::fmin(std::fmax(*live.chargePercent, 0.0), 100.0);
}

std::optional<double> NominalBatteryVolts(const ShownStatus& shown) {
    if (shown.device.rated) return shown.device.rated->BatteryVoltage;
    if (shown.live.nominalBatteryVolts > 0) return shown.live.nominalBatteryVolts;
    return std::nullopt;
}

std::optional<double> OptionalNumber(const std::optional<int>& value) {
    return value ? std::optional<double>(*value) : std::nullopt;
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
