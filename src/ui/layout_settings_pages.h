#pragma once
// The Settings page and the report pages on its inner page control. Groups
// come before their contents: a group box must be below them in the z-order,
// and creation order is z-order.
#include "ui/layout_types.h"

namespace velt::ui::layout {

// Edits that an up-down is attached to, and the send buttons' corner.
inline constexpr Box kDelayE{72, 150, 54, 20};
inline constexpr Box kMinVoltageE{226, 150, 50, 20};
inline constexpr Box kUPSShutdownE{108, 216, 40, 20};
inline constexpr Box kRefreshE{212, 282, 40, 20};
inline constexpr Box kSMTPDelayE{156, 74, 40, 20};
inline constexpr Box kLANDelayE{62, 28, 40, 20};
inline constexpr Box kNUTWaitE{80, 76, 40, 20};
inline constexpr Box kRepSendButton{258, 2, 24, 24};
// The Push page sends to two places, each with its button at the end of its row.
inline constexpr Box kNtfySendButton{258, 50, 24, 24};

// ---- Settings; the report pages are created with RepPageControl.
inline constexpr ControlSpec kSettingsControls[] = {
    {IDC_RepPageControl, Page::Settings, Kind::Tabs, kNoText, {2, 2, 296, 128}},

    {IDC_PowerFailGB, Page::Settings, Kind::Group, IDS_PowerFail, {2, 134, 296, 128}},
    {IDC_DelayCB, Page::Settings, Kind::CheckBox, IDS_Delay, {8, 152, 62, 16}, IDS_DelayHint},
    {IDC_DelayE, Page::Settings, Kind::ReadOnlyEdit, kNoText, kDelayE},
    UpDownFor(IDC_DelayUD, Page::Settings, IDC_DelayE, kDelayE),
    Fixed(Page::Settings, IDS_Seconds, {128, 153, 10, 14}),
    {IDC_MinVoltageCB, Page::Settings, Kind::CheckBox, IDS_MinVoltage, {140, 152, 84, 16},
     IDS_MinVoltageHint},
    {IDC_MinVoltageE, Page::Settings, Kind::ReadOnlyEdit, kNoText, kMinVoltageE, IDS_TenthsHint},
    UpDownFor(IDC_MinVoltageUD, Page::Settings, IDC_MinVoltageE, kMinVoltageE, Kind::TenthsUpDown),
    Fixed(Page::Settings, IDS_Volts, {278, 153, 12, 14}),
    {IDC_ActionGB, Page::Settings, Kind::Group, IDS_Action, {8, 174, 282, 38}},
    {IDC_ShutdownRB, Page::Settings, Kind::Radio, IDS_Shutdown, {14, 190, 66, 16}},
    {IDC_SleepRB, Page::Settings, Kind::Radio, IDS_Suspend, {82, 190, 64, 16}},
    {IDC_HibernateRB, Page::Settings, Kind::Radio, IDS_Hibernate, {148, 190, 70, 16}},
    {IDC_NothingRB, Page::Settings, Kind::Radio, IDS_Nothing, {220, 190, 66, 16}},
    {IDC_UPSShutdownCB, Page::Settings, Kind::CheckBox, IDS_UPSShutdown, {8, 218, 98, 16},
     IDS_UPSShutdownHint},
    {IDC_UPSShutdownE, Page::Settings, Kind::ReadOnlyEdit, kNoText, kUPSShutdownE},
    UpDownFor(IDC_UPSShutdownUD, Page::Settings, IDC_UPSShutdownE, kUPSShutdownE),
    {IDC_UPSShutdownUL, Page::Settings, Kind::Label, IDS_Minutes, {150, 219, 24, 14}},
    {IDC_ExCB, Page::Settings, Kind::CheckBox, IDS_RunProgram, {8, 240, 88, 16}},
    {IDC_ExSB, Page::Settings, Kind::TextButton, IDS_Choose, {98, 238, 24, 20}, IDS_ProgramSelectHint},
    {IDC_ExL, Page::Settings, Kind::Label, kNoText, {126, 241, 164, 14}},

    {IDC_SettingsGB, Page::Settings, Kind::Group, IDS_Settings, {2, 266, 296, 62}},
    {IDC_AutoRunCB, Page::Settings, Kind::CheckBox, IDS_AutoRun, {8, 284, 76, 16}, IDS_AutoRunHint},
    Fixed(Page::Settings, IDS_RefreshInterval, {120, 285, 90, 14}, Kind::LabelRight),
    {IDC_RefreshE, Page::Settings, Kind::NumberEdit, kNoText, kRefreshE},
    UpDownFor(IDC_RefreshUD, Page::Settings, IDC_RefreshE, kRefreshE),
    Fixed(Page::Settings, IDS_Seconds, {254, 285, 10, 14}),
    {IDC_ForceSuspendCB, Page::Settings, Kind::CheckBox, IDS_ForceSuspend, {8, 306, 92, 16}},
    {IDC_ForceShutdownCB, Page::Settings, Kind::CheckBox, IDS_ForceShutdown, {102, 306, 98, 16}},
    {IDC_BalloonCB, Page::Settings, Kind::CheckBox, IDS_BalloonHints, {202, 306, 90, 16}},

    {IDC_AboutGB, Page::Settings, Kind::Group, IDS_About, {2, 332, 296, 122}},
    {IDC_LogoI, Page::Settings, Kind::Icon, kNoText, {12, 352, 32, 32}, kNoText, IDI_APP},
    {IDC_ProgNameL, Page::Settings, Kind::Title, IDS_AppName, {52, 352, 70, 16}},
    {IDC_VersionL, Page::Settings, Kind::Label, kNoText, {124, 354, 120, 14}},
    Fixed(Page::Settings, IDS_OS, {52, 374, 20, 14}),
    {IDC_OSL, Page::Settings, Kind::Label, kNoText, {74, 374, 218, 14}},
    {IDC_HomeL, Page::Settings, Kind::Link, IDS_HomeLink, {52, 398, 180, 14}, IDS_HomeHint},
    {IDC_MailL, Page::Settings, Kind::Link, IDS_MailLink, {52, 418, 180, 14}, IDS_MailHint},
    {IDC_DonateI, Page::Settings, Kind::Icon, kNoText, {252, 398, 32, 32}, IDS_DonateHint, IDI_DONATE},
};

// ---- SMTP; the send buttons take the top right corner of their page.
inline constexpr ControlSpec kSmtpControls[] = {
    Fixed(Page::Smtp, IDS_Host, {2, 7, 32, 14}),
    {IDC_SMTPHostE, Page::Smtp, Kind::TextEdit, kNoText, {36, 4, 84, 20}, IDS_HostHint},
    Fixed(Page::Smtp, IDS_Port, {122, 7, 22, 14}),
    {IDC_SMTPPortE, Page::Smtp, Kind::TextEdit, kNoText, {144, 4, 30, 20}},
    {IDC_SMTPSecurityLB, Page::Smtp, Kind::ComboList, kNoText, {176, 4, 80, 20}, IDS_SecurityHint},
    {IDC_SendSMTPRepSB, Page::Smtp, Kind::ToolButton, IDS_SendTestReport, kRepSendButton, IDS_SendTestReport,
     IDI_START},
    Fixed(Page::Smtp, IDS_Login, {2, 31, 32, 14}),
    {IDC_SMTPLoginE, Page::Smtp, Kind::TextEdit, kNoText, {36, 28, 92, 20}},
    Fixed(Page::Smtp, IDS_Password, {132, 31, 50, 14}),
    {IDC_SMTPPswE, Page::Smtp, Kind::PasswordEdit, kNoText, {184, 28, 98, 20}},
    Fixed(Page::Smtp, IDS_From, {2, 55, 32, 14}),
    {IDC_SMTPFromE, Page::Smtp, Kind::TextEdit, kNoText, {36, 52, 104, 20}, IDS_FromHint},
    Fixed(Page::Smtp, IDS_EMail, {144, 55, 38, 14}),
    {IDC_SMTPMailE, Page::Smtp, Kind::TextEdit, kNoText, {184, 52, 98, 20}, IDS_EMailHint},
    {IDC_SMTPAuthCB, Page::Smtp, Kind::CheckBox, IDS_Authentication, {2, 76, 94, 16}, IDS_SMTPAuthHint},
    {IDC_SMTPReportsCB, Page::Smtp, Kind::CheckBox, IDS_Reports, {98, 76, 56, 16}, IDS_ReportsHint},
    {IDC_SMTPDelayE, Page::Smtp, Kind::ReadOnlyEdit, kNoText, kSMTPDelayE},
    UpDownFor(IDC_SMTPDelayUD, Page::Smtp, IDC_SMTPDelayE, kSMTPDelayE),
    Fixed(Page::Smtp, IDS_Minutes, {kSMTPDelayE.Right() + 2, 77, 18, 14}),
    {IDC_SMTPWarningsCB, Page::Smtp, Kind::CheckBox, IDS_Warnings, {220, 76, 62, 16}, IDS_WarningsHint},
};

// ---- HTTP
inline constexpr ControlSpec kHttpControls[] = {
    {IDC_HTTPCB, Page::Http, Kind::CheckBox, IDS_Enabled, {2, 5, 64, 16}, IDS_HTTPHint},
    Fixed(Page::Http, IDS_Port, {72, 7, 26, 14}),
    {IDC_HTTPPortE, Page::Http, Kind::TextEdit, kNoText, {100, 4, 56, 20}},
    {IDC_HTTPAuthCB, Page::Http, Kind::CheckBox, IDS_Authentication, {2, 30, 96, 16}},
    Fixed(Page::Http, IDS_User, {2, 55, 32, 14}),
    {IDC_HTTPUserE, Page::Http, Kind::TextEdit, kNoText, {36, 52, 92, 20}},
    Fixed(Page::Http, IDS_Password, {132, 55, 50, 14}),
    {IDC_HTTPPasswordE, Page::Http, Kind::PasswordEdit, kNoText, {184, 52, 98, 20}},
};

// ---- NUT
inline constexpr ControlSpec kNutControls[] = {
    {IDC_NUTCB, Page::Nut, Kind::CheckBox, IDS_Enabled, {2, 5, 64, 16}, IDS_NUTHint},
    Fixed(Page::Nut, IDS_Port, {72, 7, 26, 14}),
    {IDC_NUTPortE, Page::Nut, Kind::TextEdit, kNoText, {100, 4, 56, 20}},
    Fixed(Page::Nut, IDS_UPSName, {160, 7, 54, 14}),
    {IDC_NUTUPSNameE, Page::Nut, Kind::TextEdit, kNoText, {216, 4, 66, 20}},
    Fixed(Page::Nut, IDS_User, {2, 31, 32, 14}),
    {IDC_NUTUserE, Page::Nut, Kind::TextEdit, kNoText, {36, 28, 92, 20}},
    Fixed(Page::Nut, IDS_Password, {132, 31, 50, 14}),
    {IDC_NUTPasswordE, Page::Nut, Kind::PasswordEdit, kNoText, {184, 28, 98, 20}},
    Fixed(Page::Nut, IDS_AllowedHosts, {2, 55, 72, 14}),
    {IDC_NUTHostsE, Page::Nut, Kind::TextEdit, kNoText, {76, 52, 206, 20}, IDS_AllowedHostsHint},
    Fixed(Page::Nut, IDS_ShutdownWait, {2, 79, 76, 14}),
    {IDC_NUTWaitE, Page::Nut, Kind::ReadOnlyEdit, kNoText, kNUTWaitE, IDS_ShutdownWaitHint},
    UpDownFor(IDC_NUTWaitUD, Page::Nut, IDC_NUTWaitE, kNUTWaitE),
    Fixed(Page::Nut, IDS_Seconds, {kNUTWaitE.Right() + 2, 79, 10, 14}),
    {IDC_NUTCommandsCB, Page::Nut, Kind::CheckBox, IDS_NUTCommands, {140, 78, 142, 16}, IDS_NUTCommandsHint},
};

// ---- LAN
inline constexpr ControlSpec kLanControls[] = {
    Fixed(Page::Lan, IDS_ServerName, {2, 7, 64, 14}),
    {IDC_LANServerNameE, Page::Lan, Kind::TextEdit, kNoText, {70, 4, 158, 20}, IDS_ServerNameHint},
    {IDC_LANRepSB, Page::Lan, Kind::ToolButton, IDS_SendTestReport, kRepSendButton, IDS_SendTestReport, IDI_START},
    {IDC_LANReportsCB, Page::Lan, Kind::CheckBox, IDS_Reports, {2, 30, 58, 16}, IDS_ReportsHint},
    {IDC_LANDelayE, Page::Lan, Kind::ReadOnlyEdit, kNoText, kLANDelayE},
    UpDownFor(IDC_LANDelayUD, Page::Lan, IDC_LANDelayE, kLANDelayE),
    Fixed(Page::Lan, IDS_Minutes, {kLANDelayE.Right() + 2, 31, 20, 14}),
    {IDC_LANWarningsCB, Page::Lan, Kind::CheckBox, IDS_Warnings, {130, 30, 64, 16}, IDS_WarningsHint},
};

// ---- Push: the webhook on the first two rows, the ntfy topic on the last two
inline constexpr ControlSpec kPushControls[] = {
    Fixed(Page::Push, IDS_WebhookURL, {2, 7, 76, 14}),
    {IDC_WebhookURLE, Page::Push, Kind::TextEdit, kNoText, {80, 4, 174, 20}, IDS_WebhookURLHint},
    {IDC_WebhookTestSB, Page::Push, Kind::ToolButton, IDS_SendTest, kRepSendButton, IDS_SendTest, IDI_START},
    Fixed(Page::Push, IDS_WebhookHeader, {2, 31, 40, 14}),
    {IDC_WebhookHeaderE, Page::Push, Kind::TextEdit, kNoText, {44, 28, 112, 20}, IDS_WebhookHeaderHint},
    {IDC_WebhookWarningsCB, Page::Push, Kind::CheckBox, IDS_Warnings, {160, 30, 62, 16}, IDS_WarningsHint},
    {IDC_WebhookReportsCB, Page::Push, Kind::CheckBox, IDS_Reports, {224, 30, 58, 16}, IDS_WebhookReportsHint},
    Fixed(Page::Push, IDS_NtfyURL, {2, 55, 76, 14}),
    {IDC_NtfyURLE, Page::Push, Kind::TextEdit, kNoText, {80, 52, 174, 20}, IDS_NtfyURLHint},
    {IDC_NtfyTestSB, Page::Push, Kind::ToolButton, IDS_SendTest, kNtfySendButton, IDS_SendTest, IDI_START},
    Fixed(Page::Push, IDS_NtfyToken, {2, 79, 40, 14}),
    {IDC_NtfyTokenE, Page::Push, Kind::PasswordEdit, kNoText, {44, 76, 112, 20}, IDS_NtfyTokenHint},
    {IDC_NtfyWarningsCB, Page::Push, Kind::CheckBox, IDS_Warnings, {160, 78, 62, 16}, IDS_WarningsHint},
};

}  // namespace velt::ui::layout
