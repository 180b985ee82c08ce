#include "reports/status_metrics.h"

#include <optional>

#include "core/control_chars.h"
#include "core/date_time_text.h"
#include "reports/ansi_utf8.h"
#include "reports/ups_readings.h"

namespace velt {

namespace {

// A label value in quotes: backslash, quote and line feed escaped as the
// format asks; the name's ANSI bytes as UTF-8. The format has no escape for
// other control characters, and some parsers stop at them: they become blanks.
std::string LabelValue(const std::string& ansi) {
    std::string out = "\"";
    for (const char c : Utf8FromAnsi(ansi)) {
        if (c == '\\') out += "\\\\";
        else if (c == '"') out += "\\\"";
        else if (c == '\n') out += "\\n";
        else if (IsControl(c)) out += ' ';
        else out += c;
    }
    return out + "\"";
}

class MetricsText {
public:
    explicit MetricsText(const std::string& upsName) : upsLabel_("ups=" + LabelValue(upsName)) {}

    // One gauge with one series; nothing when the value is absent.
    void Gauge(const char* name, const char* help, const std::optional<double>& value) {
        if (!value) return;
        const auto number = DecimalText(*value);
        if (!number) return;
        Family(name, help);
        text_ += std::string(name) + "{" + upsLabel_ + "} " + *number + "\n";
    }
    void Flags(const TUPSStatus& status) {
        Family("veltrano_status_flag", "A bit of the UPS's status field, 1 when set.");
        for (const StatusFlag& flag : kStatusFlags)
            text_ += "veltrano_status_flag{" + upsLabel_ + ",flag=\"" + flag.key + "\"} " +
                     (status.*flag.bit ? "1" : "0") + "\n";
    }
    std::string Take() { return std::move(text_); }

private:
    void Family(const char* name, const char* help) {
        text_ += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
    }

    std::string upsLabel_;
    std::string text_;
};

}  // namespace

std::string StatusMetrics(const ShownStatus& shown, const std::string& upsName) {
    const ShownLive& live = shown.live;
    MetricsText metrics(upsName);
    metrics.Gauge("veltrano_responding", "1 while the UPS answers, 0 while it does not.", live.responding ? 1 : 0);
    const TUPSStatus* status = LastReply(shown);
    if (status)
        metrics.Gauge("veltrano_last_reply_timestamp_seconds", "When the last status reply came, in Unix time.",
                      static_cast<double>(UnixSeconds(status->ReplyTime)));
    // The readings of a UPS that stopped answering would look current to a
    // scraper: only its silence and the age of its last reply are given.
    if (!live.responding) return metrics.Take();
    const auto reading = [&shown](ReplyField TUPSStatus::*field) { return ReplyValue(shown, field); };
    metrics.Gauge("veltrano_input_voltage_volts", "Input voltage.", reading(&TUPSStatus::IPVoltage));
    metrics.Gauge("veltrano_input_fault_voltage_volts", "Input fault voltage.", reading(&TUPSStatus::IPFaultVoltage));
    metrics.Gauge("veltrano_output_voltage_volts", "Output voltage.", reading(&TUPSStatus::OPVoltage));
    metrics.Gauge("veltrano_load_percent", "Output load in percent of the rating.", reading(&TUPSStatus::OPCurrent));
    metrics.Gauge("veltrano_input_frequency_hertz", "Input frequency.", reading(&TUPSStatus::IPFrequency));
    metrics.Gauge("veltrano_temperature_celsius", "UPS temperature.", reading(&TUPSStatus::Temperature));
    if (status && StatusBitsKnown(*status)) metrics.Flags(*status);
    metrics.Gauge("veltrano_battery_voltage_volts", "Battery voltage of the whole pack.", PackVolts(shown));
    metrics.Gauge("veltrano_battery_nominal_voltage_volts", "Nominal battery voltage.", NominalBatteryVolts(shown));
    metrics.Gauge("veltrano_battery_charge_percent", "Battery charge estimated from its voltage.",
                  ChargePercent(live));
    metrics.Gauge("veltrano_battery_runtime_seconds", "Runtime left at the present charge and load.",
                  OptionalNumber(live.power.runtimeSeconds));
    metrics.Gauge("veltrano_battery_full_charge_runtime_seconds", "Runtime from a full battery at the present load.",
                  OptionalNumber(live.power.fullChargeRuntimeSeconds));
    metrics.Gauge("veltrano_real_power_watts", "Real power drawn: the rating times the load.",
                  live.power.realPowerWatts);
    metrics.Gauge("veltrano_nominal_power_watts", "The UPS's real power rating as set.", live.power.ratingWatts);
    if (live.countdownSeconds)
        metrics.Gauge("veltrano_countdown_remaining_seconds", "Seconds left before the power-fail action.",
                      *live.countdownSeconds);
    metrics.Gauge("veltrano_alerts_waiting", "Alerts written to the outbox and not yet sent.",
                  live.alertsWaiting ? std::optional<double>(static_cast<double>(*live.alertsWaiting)) : std::nullopt);
    return metrics.Take();
}

}  // namespace velt
