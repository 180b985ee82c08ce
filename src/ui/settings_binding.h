#pragma once
// Which control shows which live setting, as data: the window writes every
// user change through these tables into the live settings at once, and
// ShowSettings puts the live values back into the controls. Plain C++, so
// tests can check the tables against TUPSSettings and the layout.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/nut_ups_name.h"
#include "core/ups_settings.h"
#include "ui/control_ids.h"
#include "ui/string_ids.h"

namespace velt::ui::binding {

using S = TUPSSettings;

// What a user's change sets off besides storing the value.
enum class Effect {
    None,
    SMTPReports,
    LANReports,
    HTTPServer,
    HTTPAuth,
    NUTServer,
    RefreshInterval,
    SMTPDelay,
    LANDelay,
    NUTUPSNameRefused,  // a typed name NUT clients could not split; it was put back
    UPSSource,          // monitoring starts again from the chosen source
};

struct CheckBinding {
    int id;
    bool S::*member;
    Effect effect = Effect::None;
};

struct TextBinding {
    int id;
    std::string S::*member;
    // A text it refuses is put back and `refused` set off; none: any text.
    bool (*accepts)(std::string_view) = nullptr;
    Effect refused = Effect::None;
};

// An up-down showing a whole number through its buddy edit.
struct UpDownBinding {
    int id;
    int32_t S::*member;
    Range range;
    int increment = 1;
    Effect effect = Effect::None;
};

// A drop-down list whose item index is the setting's number; unused items
// at the end are kNoText. `effect` follows a pick that changes the number.
struct ChoiceBinding {
    int id;
    int32_t S::*member;
    std::array<ui::StringId, 3> items;
    Effect effect = Effect::None;

    constexpr int Count() const {
        int n = 0;
        while (n < static_cast<int>(items.size()) && items[static_cast<size_t>(n)] != kNoText) ++n;
        return n;
    }
};

// "Action": each radio button stands for one number.
struct RadioBinding {
    int id;
    int32_t action;
};

inline constexpr CheckBinding kChecks[] = {
    {IDC_Q1_CB, &S::Q1},
    {IDC_QS_CB, &S::QS},
    {IDC_F_CB, &S::F},
    {IDC_I_CB, &S::I},
    {IDC_IPVoltageCB, &S::IPVoltage},
    {IDC_IPFaultVoltageCB, &S::IPFaultVoltage},
    {IDC_OPVoltageCB, &S::OPVoltage},
    {IDC_OPCurrentCB, &S::OPCurrent},
    {IDC_IPFrequencyCB, &S::IPFrequency},
    {IDC_BatteryVoltageCB, &S::BatteryVoltage},
    {IDC_TemperatureCB, &S::Temperature},
    {IDC_UPSStatusCB, &S::UPSStatus},
    {IDC_PowerFailCB, &S::PowerFail},
    {IDC_BatteryLowCB, &S::BatteryLow},
    {IDC_AVRCB, &S::AVR},
    {IDC_UPSFailCB, &S::UPSFail},
    {IDC_DelayCB, &S::DelayAction},
    {IDC_MinVoltageCB, &S::VoltageAction},
    {IDC_UPSShutdownCB, &S::UPSShutdown},
    {IDC_ExCB, &S::ExternalProgramRun},
    {IDC_AutoRunCB, &S::AutoRun},
    {IDC_ForceSuspendCB, &S::ForceSuspend},
    {IDC_ForceShutdownCB, &S::ForceShutdown},
    {IDC_BalloonCB, &S::BalloonHints},
    {IDC_SMTPAuthCB, &S::SMTPAuth},
    {IDC_SMTPReportsCB, &S::SMTPReports, Effect::SMTPReports},
    {IDC_SMTPWarningsCB, &S::SMTPWarnings},
    {IDC_HTTPCB, &S::HTTPServer, Effect::HTTPServer},
    {IDC_HTTPAuthCB, &S::HTTPAuthentication, Effect::HTTPAuth},
    {IDC_LANReportsCB, &S::LANReports, Effect::LANReports},
    {IDC_LANWarningsCB, &S::LANWarnings},
    {IDC_NUTCB, &S::NUTServer, Effect::NUTServer},
    {IDC_NUTCommandsCB, &S::NUTCommands},
    {IDC_WebhookWarningsCB, &S::WebhookWarnings},
    // The e-mail report's timer brings the webhook's reports too.
    {IDC_WebhookReportsCB, &S::WebhookReports, Effect::SMTPReports},
    {IDC_NtfyWarningsCB, &S::NtfyWarnings},
};

inline constexpr TextBinding kTexts[] = {
    {IDC_SMTPHostE, &S::SMTPHost},         {IDC_SMTPPortE, &S::SMTPPort},
    {IDC_SMTPLoginE, &S::SMTPLogin},       {IDC_SMTPPswE, &S::SMTPPassword},
    {IDC_SMTPFromE, &S::SMTPFrom},         {IDC_SMTPMailE, &S::SMTPMail},
    {IDC_HTTPPortE, &S::HTTPPort},         {IDC_HTTPUserE, &S::HTTPUser},
    {IDC_HTTPPasswordE, &S::HTTPPassword}, {IDC_LANServerNameE, &S::LANServer},
    {IDC_NUTPortE, &S::NUTPort},
    {IDC_NUTUPSNameE, &S::NUTUPSName, NutUpsNameCharactersValid, Effect::NUTUPSNameRefused},
    {IDC_NUTUserE, &S::NUTUser},           {IDC_NUTPasswordE, &S::NUTPassword},
    {IDC_NUTHostsE, &S::NUTAllowedHosts},
    // The remote name goes into "ups@host" too: the same characters only.
    {IDC_RemoteHostE, &S::RemoteHost},     {IDC_RemotePortE, &S::RemotePort},
    {IDC_RemoteUPSE, &S::RemoteUPS, NutUpsNameCharactersValid, Effect::NUTUPSNameRefused},
    {IDC_RemoteUserE, &S::RemoteUser},     {IDC_RemotePasswordE, &S::RemotePassword},
    {IDC_WebhookURLE, &S::WebhookURL},     {IDC_WebhookHeaderE, &S::WebhookHeader},
    {IDC_NtfyURLE, &S::NtfyURL},           {IDC_NtfyTokenE, &S::NtfyToken},
};

inline constexpr UpDownBinding kUpDowns[] = {
    {IDC_RefreshUD, &S::RefreshInterval, kRefreshIntervalRange, 1, Effect::RefreshInterval},
    {IDC_DelayUD, &S::Delay, kDelayRange, 10},
    {IDC_UPSShutdownUD, &S::UPSShutdownDelay, kUPSShutdownDelayRange, 1},
    {IDC_SMTPDelayUD, &S::SMTPDelay, kReportDelayRange, 5, Effect::SMTPDelay},
    {IDC_LANDelayUD, &S::LANDelay, kReportDelayRange, 5, Effect::LANDelay},
    {IDC_NUTWaitUD, &S::NUTShutdownWait, kNUTShutdownWaitRange, 5},
    {IDC_RemoteDeadTimeUD, &S::RemoteDeadTime, kRemoteDeadTimeRange, 5},
};

inline constexpr ChoiceBinding kChoices[] = {
    {IDC_SMTPSecurityLB, &S::SMTPSecurity, {IDS_SecurityNone, IDS_SecurityStartTls, IDS_SecurityTls}},
    {IDC_UPSSourceLB, &S::UPSSource, {IDS_SourceLocal, IDS_SourceNut, kNoText}, Effect::UPSSource},
};

// Editable only while the UPS is read from a NUT server.
inline constexpr int kRemoteSourceControls[] = {
    IDC_RemoteHostE, IDC_RemotePortE,     IDC_RemoteUPSE,      IDC_RemoteUserE,
    IDC_RemotePasswordE, IDC_RemoteDeadTimeE, IDC_RemoteDeadTimeUD,
};

inline constexpr RadioBinding kRadios[] = {
    {IDC_ShutdownRB, 1},
    {IDC_SleepRB, 2},
    {IDC_HibernateRB, 3},
    {IDC_NothingRB, 4},
};

template <typename T, size_t N>
constexpr const T* Find(const T (&table)[N], int id) {
    for (const T& b : table)
        if (b.id == id) return &b;
    return nullptr;
}

// The number typed into an up-down's edit, brought into the range as the
// control does; none when the text holds no number.
bool ParseTyped(const std::string& text, Range range, int32_t& out);

}  // namespace velt::ui::binding
