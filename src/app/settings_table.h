#pragma once
// Every value of the settings key, once: its registry name, the member of
// TUPSSettings that holds it, its range, and what putting it into its control
// sets off. Three tables in the order their load step reads them, and the save
// order as lists drawn from them; a compile-time check makes sure each value
// is saved exactly once.
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "core/ups_settings.h"

namespace velt {

// A member of TUPSSettings, or of its serial line (TUPSSettings::Serial).
using SettingMember = std::variant<int32_t TUPSSettings::*, bool TUPSSettings::*, std::string TUPSSettings::*,
                                   std::optional<std::string> TUPSSettings::*, double TUPSSettings::*,
                                   int32_t SerialLine::*, bool SerialLine::*>;

// What loading a value does besides storing it.
enum class Reaction : uint8_t {
    None,
    RefreshToLink,         // whether present or not: the link's poll interval follows
    SMTPReportsClick,      // the box's click handler, when the state changed
    LANReportsClick,
    HTTPServerClick,
    HTTPAuthClick,
    ExternalProgramLabel,  // ExL shows the loaded path
    EmptyVoltagePosition,  // the battery up-down takes the position (its range, its changing rule)
    FullVoltagePosition,
    MinVoltagePosition,
};

enum class OutOfRange : uint8_t {
    Clamp,   // brought to the nearest bound, as an up-down does
    Ignore,  // the current value stays
};

struct SettingDef {
    const char* name;
    SettingMember member;
    Range range{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
    OutOfRange outOfRange = OutOfRange::Clamp;
    Reaction reaction = Reaction::None;
    bool forceOption = false;  // read and written only where the force options exist

    constexpr SettingDef With(Reaction r) const {
        SettingDef d = *this;
        d.reaction = r;
        return d;
    }
    constexpr SettingDef IgnoreOutOfRange() const {
        SettingDef d = *this;
        d.outOfRange = OutOfRange::Ignore;
        return d;
    }
    constexpr SettingDef ForceOption() const {
        SettingDef d = *this;
        d.forceOption = true;
        return d;
    }
};

namespace settings_table {

using S = TUPSSettings;
using L = SerialLine;

constexpr SettingDef Int(const char* name, int32_t S::*m, Range r) { return {name, m, r}; }
constexpr SettingDef Int(const char* name, int32_t L::*m, Range r) { return {name, m, r}; }
// Battery positions: their range is the one the detected battery's preset gave.
constexpr SettingDef Battery(const char* name, int32_t S::*m, Reaction r) { return SettingDef{name, m}.With(r); }
constexpr SettingDef Bool(const char* name, bool S::*m) { return {name, m}; }
constexpr SettingDef Bool(const char* name, bool L::*m) { return {name, m}; }
constexpr SettingDef Text(const char* name, std::string S::*m) { return {name, m}; }
constexpr SettingDef OptionalText(const char* name, std::optional<std::string> S::*m) { return {name, m}; }
// A decimal number kept as text ("7.2"): a DWORD holds no fraction. The range's
// bounds are whole numbers.
constexpr SettingDef Decimal(const char* name, double S::*m, Range r) { return {name, m, r}; }

// LoadSettings, in its order. "HTTP Port" comes before "HTTP Server" so that
// the server started by the load listens on the stored port.
inline constexpr SettingDef kMainSettings[] = {
    Int("Refresh Interval", &S::RefreshInterval, kRefreshIntervalRange).With(Reaction::RefreshToLink),
    Bool("Force Shutdown", &S::ForceShutdown).ForceOption(),
    Bool("Force Suspend", &S::ForceSuspend).ForceOption(),
    Bool("Delay Action", &S::DelayAction),
    Bool("Voltage Action", &S::VoltageAction),
    Int("Delay", &S::Delay, kDelayRange),
    Int("Action", &S::Action, kActionRange).IgnoreOutOfRange(),
    Bool("Balloon Hints", &S::BalloonHints),
    Bool("UPS Shutdown", &S::UPSShutdown),
    Int("UPS Shutdown Delay", &S::UPSShutdownDelay, kUPSShutdownDelayRange),
    Bool("External Program Run", &S::ExternalProgramRun),
    OptionalText("External Program Name", &S::ExternalProgramName).With(Reaction::ExternalProgramLabel),
    Bool("IP Voltage", &S::IPVoltage),
    Bool("IP Fault Voltage", &S::IPFaultVoltage),
    Bool("OP Voltage", &S::OPVoltage),
    Bool("OP Current", &S::OPCurrent),
    Bool("IP Frequency", &S::IPFrequency),
    Bool("Battery Voltage", &S::BatteryVoltage),
    Bool("Temperature", &S::Temperature),
    Bool("UPS Status", &S::UPSStatus),
    Bool("Power Fail", &S::PowerFail),
    Bool("Battery Low", &S::BatteryLow),
    Bool("AVR", &S::AVR),
    Bool("UPS Fail", &S::UPSFail),
    Text("SMTP Host", &S::SMTPHost),
    Text("SMTP Login", &S::SMTPLogin),
    Text("SMTP From", &S::SMTPFrom),
    Text("SMTP Mail", &S::SMTPMail),
    Text("SMTP Port", &S::SMTPPort),
    Text("SMTP Password", &S::SMTPPassword),
    Bool("SMTP Auth", &S::SMTPAuth),
    Bool("SMTP Reports", &S::SMTPReports).With(Reaction::SMTPReportsClick),
    Bool("SMTP Warnings", &S::SMTPWarnings),
    Int("SMTP Delay", &S::SMTPDelay, kReportDelayRange),
    Text("LAN Server", &S::LANServer),
    Bool("LAN Reports", &S::LANReports).With(Reaction::LANReportsClick),
    Bool("LAN Warnings", &S::LANWarnings),
    Int("LAN Delay", &S::LANDelay, kReportDelayRange),
    Text("HTTP Port", &S::HTTPPort),
    Bool("HTTP Server", &S::HTTPServer).With(Reaction::HTTPServerClick),
    Text("HTTP User", &S::HTTPUser),
    Text("HTTP Password", &S::HTTPPassword),
    Bool("HTTP Authentication", &S::HTTPAuthentication).With(Reaction::HTTPAuthClick),
    Int("SMTP Security", &S::SMTPSecurity, kSMTPSecurityRange).IgnoreOutOfRange(),
    // The NUT server starts after the load, once all of its values are in.
    Bool("NUT Server", &S::NUTServer),
    Text("NUT Port", &S::NUTPort),
    Text("NUT UPS Name", &S::NUTUPSName),
    Text("NUT User", &S::NUTUser),
    Text("NUT Password", &S::NUTPassword),
    Text("NUT Allowed Hosts", &S::NUTAllowedHosts),
    Int("NUT Shutdown Wait", &S::NUTShutdownWait, kNUTShutdownWaitRange),
    Text("NUT Device Id", &S::NUTDeviceId),
    Bool("NUT Commands", &S::NUTCommands),
    // An unknown source is no source this program has: the local UPS stays.
    Int("UPS Source", &S::UPSSource, kUPSSourceRange).IgnoreOutOfRange(),
    Text("Remote Host", &S::RemoteHost),
    Text("Remote Port", &S::RemotePort),
    Text("Remote UPS", &S::RemoteUPS),
    Text("Remote User", &S::RemoteUser),
    Text("Remote Password", &S::RemotePassword),
    Int("Remote Dead Time", &S::RemoteDeadTime, kRemoteDeadTimeRange),
    Int("History Days", &S::HistoryDays, kHistoryDaysRange),
    Int("UPS Rating W", &S::UPSRatingW, kUPSRatingWRange),
    Decimal("Battery Ah", &S::BatteryAh, kBatteryAhRange),
    Text("Wake Hosts", &S::WakeHosts),
    Int("Wake Delay", &S::WakeDelay, kWakeDelayRange),
    Int("Wake Min Charge", &S::WakeMinCharge, kWakeMinChargeRange),
    Int("Outbox Hours", &S::OutboxHours, kOutboxHoursRange),
    Text("Webhook URL", &S::WebhookURL),
    Text("Webhook Header", &S::WebhookHeader),
    Bool("Webhook Warnings", &S::WebhookWarnings),
    Bool("Webhook Reports", &S::WebhookReports),
    Text("Ntfy URL", &S::NtfyURL),
    Text("Ntfy Token", &S::NtfyToken),
    Bool("Ntfy Warnings", &S::NtfyWarnings),
    Bool("Q1", &S::Q1),
    Bool("QS", &S::QS),
    Bool("F", &S::F),
    Bool("I", &S::I),
};

// LoadSerialSettings. A port number outside 0..9 is not a port this program
// offers; it is ignored, so the port dialog asks again.
inline constexpr SettingDef kSerialSettings[] = {
    Int("COM Port", &L::ComPort, kComPortRange).IgnoreOutOfRange(),
    Bool("COM DTR", &L::ComDtr),
    Bool("COM RTS", &L::ComRts),
    Int("COM MaxAttempts", &L::ComMaxAttempts, kComMaxAttemptsRange),
};

// LoadBatterySettings.
inline constexpr SettingDef kBatterySettings[] = {
    Battery("Min Voltage", &S::MinVoltage, Reaction::MinVoltagePosition),
    Battery("Full Voltage", &S::FullVoltage, Reaction::FullVoltagePosition),
    Battery("Empty Voltage", &S::EmptyVoltage, Reaction::EmptyVoltagePosition),
};

inline constexpr std::span<const SettingDef> kAllTables[] = {kMainSettings, kSerialSettings, kBatterySettings};

consteval const SettingDef* Find(std::string_view name) {
    for (auto table : kAllTables)
        for (const SettingDef& d : table)
            if (name == d.name) return &d;
    throw "no such setting";  // a misspelt name stops the build
}

// SaveSettings, part by part in its order.
// Written only while a UPS link is open.
inline constexpr const SettingDef* kSaveWithLink[] = {
    Find("Refresh Interval"), Find("Min Voltage"), Find("Delay"), Find("Delay Action"),
    Find("Voltage Action"), Find("UPS Shutdown"), Find("UPS Shutdown Delay"), Find("External Program Run"),
    Find("External Program Name"), Find("Force Shutdown"), Find("Force Suspend"), Find("Full Voltage"),
    Find("Empty Voltage"), Find("Action"), Find("IP Voltage"), Find("IP Fault Voltage"),
    Find("OP Voltage"), Find("OP Current"), Find("IP Frequency"), Find("Battery Voltage"),
    Find("Temperature"), Find("UPS Status"), Find("Power Fail"), Find("Battery Low"),
    Find("AVR"), Find("UPS Fail"),
};
inline constexpr const SettingDef* kSaveAlways[] = {
    Find("SMTP Host"), Find("SMTP Login"), Find("SMTP From"), Find("SMTP Mail"),
    Find("SMTP Port"), Find("SMTP Password"), Find("SMTP Auth"), Find("SMTP Reports"),
    Find("SMTP Warnings"), Find("SMTP Delay"), Find("HTTP Server"), Find("HTTP Port"),
    Find("HTTP Authentication"), Find("HTTP User"), Find("HTTP Password"), Find("LAN Server"),
    Find("LAN Reports"), Find("LAN Warnings"), Find("LAN Delay"), Find("SMTP Security"),
    Find("NUT Server"), Find("NUT Port"), Find("NUT UPS Name"), Find("NUT User"),
    Find("NUT Password"), Find("NUT Allowed Hosts"), Find("NUT Shutdown Wait"), Find("NUT Device Id"),
    Find("NUT Commands"), Find("UPS Source"), Find("Remote Host"), Find("Remote Port"),
    Find("Remote UPS"), Find("Remote User"), Find("Remote Password"), Find("Remote Dead Time"),
    Find("History Days"), Find("UPS Rating W"), Find("Battery Ah"), Find("Wake Hosts"), Find("Wake Delay"),
    Find("Wake Min Charge"), Find("Outbox Hours"), Find("Webhook URL"), Find("Webhook Header"),
    Find("Webhook Warnings"), Find("Webhook Reports"), Find("Ntfy URL"), Find("Ntfy Token"),
    Find("Ntfy Warnings"),
};
// Written only while the serial link is open; otherwise "COM Port" is deleted.
inline constexpr const SettingDef* kSaveWithSerialLink[] = {
    Find("COM Port"), Find("COM DTR"), Find("COM RTS"), Find("COM MaxAttempts"),
};
inline constexpr const SettingDef* kSaveLast[] = {
    Find("Q1"), Find("QS"), Find("I"), Find("F"), Find("Balloon Hints"),
};

inline constexpr std::span<const SettingDef* const> kAllSaveLists[] = {kSaveWithLink, kSaveAlways,
                                                                      kSaveWithSerialLink, kSaveLast};

consteval bool EverySettingSavedOnce() {
    for (auto table : kAllTables)
        for (const SettingDef& def : table) {
            int times = 0;
            for (auto list : kAllSaveLists)
                for (const SettingDef* d : list) times += d == &def;
            if (times != 1) return false;
        }
    return true;
}
static_assert(EverySettingSavedOnce(), "a setting is loaded but not saved, or saved twice");

}  // namespace settings_table
}  // namespace velt
