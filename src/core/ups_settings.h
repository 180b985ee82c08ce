#pragma once
// TUPSSettings: the whole configuration, one field per registry value, named
// after the value without its blanks; the serial line's four values form one
// record, the one the link holds. It is also the live settings object: the
// window writes every user change into it at once, and the logic reads it at the
// moment of use.
#include <cstdint>
#include <optional>
#include <string>

#include "core/serial_line.h"

namespace velt {

// The numbers a setting accepts, bounds included.
struct Range {
    int32_t min = 0, max = 0;
    constexpr bool Contains(int32_t v) const { return v >= min && v <= max; }
    constexpr int32_t Clamp(int32_t v) const { return v < min ? min : v > max ? max : v; }
};

inline constexpr Range kRefreshIntervalRange{1, 60};
inline constexpr Range kDelayRange{10, 10800};
inline constexpr Range kUPSShutdownDelayRange{1, 60};
inline constexpr Range kReportDelayRange{5, 180};  // "SMTP Delay" and "LAN Delay"
inline constexpr Range kActionRange{1, 4};
inline constexpr Range kComPortRange{0, 9};
inline constexpr Range kNUTShutdownWaitRange{0, 300};
inline constexpr Range kSMTPSecurityRange{0, 2};
inline constexpr Range kUPSSourceRange{0, 1};
inline constexpr int32_t kUPSSourceLocal = 0, kUPSSourceNut = 1;
inline constexpr Range kRemoteDeadTimeRange{5, 300};
// How long the history keeps its minutes and events.
inline constexpr Range kHistoryDaysRange{7, 3650};
inline constexpr int32_t kHistoryDaysDefault = 400;
// The UPS's real power rating and its battery's capacity, for the watts and
// the runtime until the unit's own outages have taught one; 0 is unknown.
// The caps are far above any unit this protocol drives: they only keep a
// mistyped value from giving absurd figures.
inline constexpr Range kUPSRatingWRange{0, 50000};
inline constexpr Range kBatteryAhRange{0, 5000};
// Wake-on-LAN after the mains return: minutes of mains first, then the
// battery charge the hosts' load may draw on.
inline constexpr Range kWakeDelayRange{0, 120};
inline constexpr Range kWakeMinChargeRange{0, 100};
// How long an alert that could not be sent is tried again: an hour up to
// thirty days, after which it tells nobody anything.
inline constexpr Range kOutboxHoursRange{1, 720};
// No control bounds it; the cap keeps a hand-edited value from turning the
// port-opening retries into an endless loop under the data lock.
inline constexpr Range kComMaxAttemptsRange{0, 100};

struct TUPSSettings {
    // Monitoring
    int32_t RefreshInterval = 3;  // seconds, 1..60
    bool Q1 = true, QS = true, F = true, I = false;
    // "COM Port", "COM DTR", "COM RTS", "COM MaxAttempts": only for their load
    // and save; the link holds the values in use.
    SerialLine Serial;

    // Power fail
    int32_t Delay = 600;  // seconds, 10..10800 in steps of 10
    bool DelayAction = true;
    int32_t MinVoltage = 110;  // tenths of a volt
    bool VoltageAction = true;
    int32_t Action = 1;  // 1 shutdown, 2 suspend, 3 hibernate, 4 nothing
    bool UPSShutdown = false;
    int32_t UPSShutdownDelay = 5;  // minutes, 1..60
    bool ExternalProgramRun = false;
    std::optional<std::string> ExternalProgramName;  // absent: no program chosen
    bool ForceShutdown = false, ForceSuspend = false;

    // Battery, tenths of a volt
    int32_t FullVoltage = 120, EmptyVoltage = 97;  // until a detection applies a preset

    // Status page lines and event selections
    bool IPVoltage = true, IPFaultVoltage = true, OPVoltage = true, OPCurrent = true,
         IPFrequency = true, BatteryVoltage = true, Temperature = true, UPSStatus = true,
         PowerFail = true, BatteryLow = true, AVR = true, UPSFail = true;

    // E-mail reports
    std::string SMTPHost = "smtp.example.com", SMTPPort = "25", SMTPLogin = "ups",
                SMTPPassword, SMTPFrom = "ups@example.com", SMTPMail = "admin@example.com";
    bool SMTPAuth = true, SMTPReports = false, SMTPWarnings = false;
    int32_t SMTPDelay = 20;  // minutes, 5..180 in steps of 5
    int32_t SMTPSecurity = 0;  // 0 none, 1 STARTTLS required, 2 implicit TLS

    // HTTP status page
    bool HTTPServer = false;
    std::string HTTPPort = "8080";
    bool HTTPAuthentication = false;
    std::string HTTPUser, HTTPPassword;

    // NUT network server
    bool NUTServer = false;
    std::string NUTPort = "3493";
    std::string NUTUPSName = "ups";
    std::string NUTUser, NUTPassword;
    std::string NUTAllowedHosts;  // comma-separated addresses or address/prefix ranges; empty: any
    int32_t NUTShutdownWait = 15;  // seconds, 0..300
    // device.serial when the UPS gives none: made once, then kept ("NUT Device Id").
    std::string NUTDeviceId;
    // The UPS's own commands offered as instant commands to logged-in clients.
    bool NUTCommands = false;

    // Where the UPS is read from: this computer's USB or serial link, or a NUT
    // server elsewhere.
    int32_t UPSSource = kUPSSourceLocal;
    std::string RemoteHost;
    std::string RemotePort = "3493";
    std::string RemoteUPS = "ups";
    std::string RemoteUser, RemotePassword;  // no user: read without logging in
    int32_t RemoteDeadTime = 15;  // seconds, 5..300: an on-battery UPS unheard for longer counts as low

    // History and runtime; no control shows them, the registry holds them.
    int32_t HistoryDays = kHistoryDaysDefault;  // 7..3650
    int32_t UPSRatingW = 0;                     // watts; 0 unknown
    double BatteryAh = 0;                       // ampere-hours, a decimal stored as text; 0 unknown

    // Wake-on-LAN once the mains are back; registry only.
    std::string WakeHosts;       // "aa:bb:cc:dd:ee:ff[@broadcast], ..."; empty: nobody to wake
    int32_t WakeDelay = 5;       // minutes of mains, 0..120
    int32_t WakeMinCharge = 50;  // percent, 0..100

    // The outbox and the push channels.
    int32_t OutboxHours = 48;  // hours, 1..720
    std::string WebhookURL;     // http or https; empty: no webhook
    std::string WebhookHeader;  // one "Name: value" line sent with each request
    bool WebhookWarnings = false, WebhookReports = false;
    std::string NtfyURL;  // the topic's URL, http or https; empty: no ntfy
    std::string NtfyToken;  // sent as a bearer token when set
    bool NtfyWarnings = false;

    // LAN messages
    std::string LANServer;  // defaults to the computer's own name at start-up
    bool LANReports = false, LANWarnings = false;
    int32_t LANDelay = 20;

    bool BalloonHints = true;
    bool AutoRun = false;  // mirrors the Run key entry, not a value of the settings key

    bool operator==(const TUPSSettings&) const = default;
};

}  // namespace velt
