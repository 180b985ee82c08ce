#include "reports/status_json.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "core/control_chars.h"
#include "core/date_time_text.h"
#include "reports/ansi_utf8.h"
#include "reports/json_object.h"
#include "reports/ups_readings.h"
#include "status/status_words.h"

namespace velt {

namespace {

std::string JsonBool(bool value) { return value ? "true" : "false"; }

// The fields the last reply held; the status field's text goes with its bits.
std::string ReadingsJson(const TUPSStatus& status) {
    JsonObject object;
    for (const ReplyFieldName& name : kReplyFields) {
        const ReplyField* field = FieldOfReply(status, name.field);
        if (!field || name.field == &TUPSStatus::UPSStatus) continue;
        object.Add(name.key, JsonObject()
                                 .Add("value", field->value ? DecimalText(*field->value).value_or("null") : "null")
                                 .Add("text", JsonString(field->text))
                                 .Text());
    }
    return object.Text();
}

std::string StatusBitsJson(const TUPSStatus& status) {
    JsonObject object;
    object.Add("text", JsonString(status.UPSStatus.text));
    for (const StatusFlag& flag : kStatusFlags) object.Add(flag.key, JsonBool(status.*flag.bit));
    return object.Text();
}

std::string BatteryJson(const ShownStatus& shown) {
    const ShownLive& live = shown.live;
    return JsonObject()
        .AddNumber("charge_percent", ChargePercent(live))
        .AddNumber("pack_voltage", PackVolts(shown))
        .AddNumber("nominal_voltage", NominalBatteryVolts(shown))
        .AddNumber("empty_voltage", live.emptyVolts)
        .AddNumber("full_voltage", live.fullVolts)
        .AddNumber("runtime_seconds", OptionalNumber(live.power.runtimeSeconds))
        .AddNumber("full_charge_runtime_seconds", OptionalNumber(live.power.fullChargeRuntimeSeconds))
        .Text();
}

std::string PowerJson(const ShownPower& power) {
    return JsonObject()
        .AddNumber("real_power_watts", power.realPowerWatts)
        .AddNumber("nominal_power_watts", power.ratingWatts)
        .Text();
}

std::string DeviceJson(const ShownDevice& device) {
    JsonObject object;
    if (!device.protocol.empty()) object.Add("protocol", JsonString(device.protocol));
    object.Add("usb", JsonBool(device.usb));
    if (device.usb) {
        object.Add("vendor_id", JsonString(UsbIdText(device.vid)))
            .Add("product_id", JsonString(UsbIdText(device.pid)));
    }
    if (device.info) {
        object.Add("mfr", JsonString(device.info->Mfr))
            .Add("model", JsonString(device.info->Model))
            .Add("firmware", JsonString(device.info->Ver));
    }
    return object.Text();
}

}  // namespace

std::string JsonString(std::string_view ansi) {
    std::string out = "\"";
    for (const char c : Utf8FromAnsi(ansi)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (IsControl(c)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(byte));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string StatusJson(const ShownStatus& shown, const std::string& upsName) {
    const ShownLive& live = shown.live;
    JsonObject object;
    object.Add("ups", JsonString(upsName))
        .Add("ups_found", JsonBool(shown.upsFound))
        .Add("responding", JsonBool(live.responding))
        .Add("device", DeviceJson(shown.device));
    if (const TUPSStatus* status = LastReply(shown)) {
        object.Add("last_reply", JsonString(IsoDateTimeText(status->ReplyTime)))
            .Add("reply", JsonString(status->ReplyText))
            .Add("readings", ReadingsJson(*status));
        if (StatusBitsKnown(*status)) object.Add("status_bits", StatusBitsJson(*status));
        object.Add("ups_status", JsonString(NutStatusWords(*status, live.forcedShutdown)));
    }
    object.Add("battery", BatteryJson(shown));
    object.Add("power", PowerJson(live.power));
    if (live.countdownSeconds) object.Add("countdown_seconds", std::to_string(*live.countdownSeconds));
    if (live.alertsWaiting) object.Add("alerts_waiting", std::to_string(*live.alertsWaiting));
    return object.Text() + "\n";
}

}  // namespace velt
