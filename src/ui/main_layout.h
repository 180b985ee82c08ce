#pragma once
// Where the main window's controls sit, as data: the window builds its controls
// from this table, and native tests check that everything fits the fixed
// 318 x 550 client area. Coordinates on a page are relative to the page.
// The table and the helpers that build it are constexpr, so they stay here.
#include "ui/control_ids.h"
#include "ui/resource.h"

namespace velt::ui::layout {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    constexpr int Right() const { return x + w; }
    constexpr int Bottom() const { return y + h; }
    bool Contains(const Box& o) const;
    bool Overlaps(const Box& o) const;
};

inline constexpr int kClientWidth = 318;
inline constexpr int kClientHeight = 550;

// Toolbar: twelve button slots with separators after Stop, the beeper, Cancel
// Test and Shutdown.
inline constexpr int kToolbarSlots = 12;
inline constexpr int kToolButtonSize = 24;
inline constexpr int kToolSeparator = 6;
inline constexpr int kToolbarTop = 4;
inline constexpr int kToolbarLeft = 4;

constexpr int SeparatorsBefore(int slot) {
    return (slot > 1) + (slot > 2) + (slot > 6) + (slot > 9);
}
constexpr Box ToolSlot(int slot) {
    return {kToolbarLeft + slot * kToolButtonSize + SeparatorsBefore(slot) * kToolSeparator, kToolbarTop,
            kToolButtonSize, kToolButtonSize};
}

// The page control spans the client area between the toolbar and the status
// bar, whose height the system decides.
inline constexpr int kTabsLeft = 4;
inline constexpr int kTabsTop = kToolbarTop + kToolButtonSize + 4;
inline constexpr int kTabsWidth = kClientWidth - 2 * kTabsLeft;
inline constexpr int kTabsBottomGap = 4;  // above the status bar

// Every page lays its controls out within this size; the page area the system
// leaves inside the page control is a little larger.
inline constexpr int kPageWidth = 300;
inline constexpr int kPageHeight = 456;

// The report pages inside RepPageControl, likewise.
inline constexpr int kRepPageWidth = 284;
inline constexpr int kRepPageHeight = 96;

enum class Page { Window, Info, Status, Settings, Smtp, Http, Lan };
inline constexpr int kPageCount = 3;
inline constexpr int kRepPageCount = 3;

bool IsRepPage(Page p);

enum class Kind {
    ToolButton,    // push button showing an icon; its text is its hint
    TextButton,    // push button with a short caption
    Label,         // static text, left aligned
    LabelRight,    // static text, right aligned
    LabelCenter,   // static text, centred
    Title,         // static text in bold
    Link,          // static text that takes clicks and shows as a link
    Icon,          // static picture from the program's icons
    ReadOnlyEdit,  // single line
    NumberEdit,    // single line, digits only, typing allowed
    TextEdit,      // single line, typing allowed
    PasswordEdit,  // single line, typing allowed, shown as "*"
    LogMemo,       // multi-line, read-only, vertical scroll bar
    Group,         // group box
    CheckBox,      // a setting the user ticks
    StatusBox,     // a check box the program ticks (display only)
    Radio,         // one of a set; the window keeps exactly one on
    ComboList,     // drop-down list; `box.h` is the closed height
    UpDown,        // whole numbers, shown by its buddy `buddy`
    TenthsUpDown,  // tenths of a volt: the window writes the buddy's text
    Gauge,         // the LED bar
    Tabs,          // the inner page control
};

inline constexpr int kNoId = -1;  // labels nobody needs to find

inline constexpr unsigned kStartsDisabled = 1;

struct ControlSpec {
    int id;
    Page page;
    Kind kind;
    const char* text;
    Box box;
    const char* hint = nullptr;  // tooltip
    int icon = 0;                // resource id for tool buttons and pictures
    int buddy = 0;               // for up-downs
    unsigned flags = 0;
};

constexpr ControlSpec Tool(int id, int slot, const char* hint, int icon) {
    return {id, Page::Window, Kind::ToolButton, hint, ToolSlot(slot), hint, icon};
}
constexpr ControlSpec Fixed(Page page, const char* text, Box box, Kind kind = Kind::Label) {
    return {kNoId, page, kind, text, box};
}
constexpr ControlSpec UpDownFor(int id, Page page, int buddy, Box buddyBox, Kind kind = Kind::UpDown) {
    // Attached to the right edge of its buddy, inside the buddy's box.
    return {id, page, kind, "", {buddyBox.Right(), buddyBox.y, 0, buddyBox.h}, nullptr, 0, buddy};
}

// ---- UPS Information page

inline constexpr int kIdRowTop = 18, kIdRowStep = 23;
constexpr Box IdLabel(int row) { return {8, kIdRowTop + row * kIdRowStep + 3, 82, 14}; }
constexpr Box IdEdit(int row) { return {94, kIdRowTop + row * kIdRowStep, 196, 20}; }

inline constexpr int kProbeColumn[4] = {28, 96, 164, 232};
constexpr Box ProbeLabel(int i) { return {kProbeColumn[i], 182, 40, 14}; }
constexpr Box ProbeBox(int i) { return {kProbeColumn[i] + 13, 198, 16, 16}; }

// ---- UPS Status page: eight readings, each a page-selection box captioned
// with the reading's name, its field and its unit.

inline constexpr int kReadingTop = 60, kReadingStep = 20;
constexpr Box ReadingBox(int i) { return {6, kReadingTop + i * kReadingStep + 1, 98, 16}; }
constexpr Box ReadingEdit(int i) { return {106, kReadingTop + i * kReadingStep, 52, 18}; }
constexpr Box ReadingUnit(int i) { return {160, kReadingTop + i * kReadingStep + 2, 14, 14}; }

inline constexpr int kBitTop = 72, kBitStep = 16;
constexpr Box BitBox(int i, int w = 98) { return {180, kBitTop + i * kBitStep, w, 15}; }
// The event selections stand beside the first four bits they report on.
constexpr Box EventBox(int i) { return {281, kBitTop + i * kBitStep, 15, 15}; }

inline constexpr int kBatteryTop = 246, kBatteryStep = 22;
constexpr Box BatteryLabel(int i) { return {6, kBatteryTop + i * kBatteryStep + 3, 122, 14}; }
constexpr Box BatteryEdit(int i) { return {130, kBatteryTop + i * kBatteryStep, 50, 20}; }
constexpr Box BatteryUnit(int i) { return {182, kBatteryTop + i * kBatteryStep + 3, 10, 14}; }

// ---- Settings page

inline constexpr Box kDelayE{72, 150, 54, 20};
inline constexpr Box kMinVoltageE{226, 150, 50, 20};
inline constexpr Box kUPSShutdownE{108, 216, 40, 20};
inline constexpr Box kRefreshE{212, 282, 40, 20};
inline constexpr Box kSMTPDelayE{156, 74, 40, 20};
inline constexpr Box kLANDelayE{62, 28, 40, 20};
inline constexpr Box kRepSendButton{258, 2, 24, 24};

// Groups come before their contents: a group box must be below them in the
// z-order, and creation order is z-order.
inline constexpr ControlSpec kMainControls[] = {
    Tool(IDC_StartSB, 0, "Start", IDI_START),
    Tool(IDC_StopSB, 1, "Stop", IDI_STOP),
    Tool(IDC_UPSBeeperSB, 2, "Toggle UPS Beeper", IDI_BEEPER),
    Tool(IDC_Test10sSB, 3, "Test for 10 seconds", IDI_TEST10S),
    Tool(IDC_TestTSB, 4, "Test for specified time period", IDI_TEST_T),
    Tool(IDC_TestLowSB, 5, "Test until battery low", IDI_TEST_LOW),
    Tool(IDC_CancelTestSB, 6, "Cancel Test", IDI_CANCEL_TEST),
    Tool(IDC_SleepSB, 7, "Sleep", IDI_SLEEP),
    Tool(IDC_HibernateSB, 8, "Hibernate", IDI_HIBERNATE),
    Tool(IDC_ShutdownSB, 9, "Shutdown", IDI_SHUTDOWN),
    Tool(IDC_SaveSetSB, 10, "Save Settings", IDI_SAVE_SETTINGS),
    Tool(IDC_ExitSB, 11, "Exit", IDI_EXIT),

    // ---- UPS Information
    {IDC_UPSGB, Page::Info, Kind::Group, "UPS", {2, 2, 296, 160}},
    {IDC_VIDNL, Page::Info, Kind::LabelRight, "VID:", IdLabel(0), nullptr, 0, 0, kStartsDisabled},
    {IDC_VIDE, Page::Info, Kind::ReadOnlyEdit, "", IdEdit(0), nullptr, 0, 0, kStartsDisabled},
    {IDC_PIDNL, Page::Info, Kind::LabelRight, "PID:", IdLabel(1), nullptr, 0, 0, kStartsDisabled},
    {IDC_PIDE, Page::Info, Kind::ReadOnlyEdit, "", IdEdit(1), nullptr, 0, 0, kStartsDisabled},
    {IDC_ProductNameNL, Page::Info, Kind::LabelRight, "Product Name:", IdLabel(2), nullptr, 0, 0, kStartsDisabled},
    {IDC_ProductNameE, Page::Info, Kind::ReadOnlyEdit, "", IdEdit(2), nullptr, 0, 0, kStartsDisabled},
    {IDC_MfrNL, Page::Info, Kind::LabelRight, "Mfr.:", IdLabel(3), nullptr, 0, 0, kStartsDisabled},
    {IDC_MfrE, Page::Info, Kind::ReadOnlyEdit, "", IdEdit(3), nullptr, 0, 0, kStartsDisabled},
    {IDC_ModelNL, Page::Info, Kind::LabelRight, "Model:", IdLabel(4), nullptr, 0, 0, kStartsDisabled},
    {IDC_ModelE, Page::Info, Kind::ReadOnlyEdit, "", IdEdit(4), nullptr, 0, 0, kStartsDisabled},
    {IDC_VerNL, Page::Info, Kind::LabelRight, "Ver.:", IdLabel(5), nullptr, 0, 0, kStartsDisabled},
    {IDC_VerE, Page::Info, Kind::ReadOnlyEdit, "", IdEdit(5), nullptr, 0, 0, kStartsDisabled},

    {IDC_SupportedCommandsGB, Page::Info, Kind::Group, "Supported Commands", {2, 166, 296, 56}},
    {IDC_Q1_L, Page::Info, Kind::LabelCenter, "Q1", ProbeLabel(0), nullptr, 0, 0, kStartsDisabled},
    {IDC_QS_L, Page::Info, Kind::LabelCenter, "QS", ProbeLabel(1), nullptr, 0, 0, kStartsDisabled},
    {IDC_F_L, Page::Info, Kind::LabelCenter, "F", ProbeLabel(2), nullptr, 0, 0, kStartsDisabled},
    {IDC_I_L, Page::Info, Kind::LabelCenter, "I", ProbeLabel(3), nullptr, 0, 0, kStartsDisabled},
    {IDC_Q1_CB, Page::Info, Kind::CheckBox, "", ProbeBox(0), "Probe for and use the Megatec status query"},
    {IDC_QS_CB, Page::Info, Kind::CheckBox, "", ProbeBox(1), "Probe for and use the Mustek status query"},
    {IDC_F_CB, Page::Info, Kind::CheckBox, "", ProbeBox(2), "Ask the UPS for its rating"},
    {IDC_I_CB, Page::Info, Kind::CheckBox, "", ProbeBox(3), "Ask the UPS for its identification"},

    {IDC_ConnectionGB, Page::Info, Kind::Group, "Connection", {2, 226, 296, 92}},
    {IDC_ConnI, Page::Info, Kind::Icon, "", {12, 246, 32, 32}},
    {IDC_USBL, Page::Info, Kind::Label, "USB", {52, 248, 44, 14}, nullptr, 0, 0, kStartsDisabled},
    {IDC_COML, Page::Info, Kind::Label, "COM", {52, 266, 44, 14}, nullptr, 0, 0, kStartsDisabled},
    Fixed(Page::Info, "HID(s):", {102, 246, 60, 14}),
    {IDC_USBLB, Page::Info, Kind::ComboList, "", {102, 262, 188, 20}},

    // ---- UPS Status
    Fixed(Page::Status, "UPS Data Stream:", {4, 4, 100, 14}),
    {IDC_TimeL, Page::Status, Kind::LabelRight, "", {106, 4, 170, 14}},
    {IDC_ProgressL, Page::Status, Kind::LabelCenter, "", {280, 4, 16, 14}},
    {IDC_ReportStringE, Page::Status, Kind::ReadOnlyEdit, "", {2, 20, 296, 20}},

    {IDC_UPSInformationGB, Page::Status, Kind::Group, "UPS Information", {2, 44, 296, 270}},
    {IDC_IPVoltageCB, Page::Status, Kind::CheckBox, "I/P Voltage", ReadingBox(0), "Show on the status page"},
    {IDC_IPVoltageE, Page::Status, Kind::ReadOnlyEdit, "", ReadingEdit(0)},
    Fixed(Page::Status, "V", ReadingUnit(0)),
    {IDC_IPFaultVoltageCB, Page::Status, Kind::CheckBox, "I/P Fault Voltage", ReadingBox(1),
     "Show on the status page"},
    {IDC_IPFaultVoltageE, Page::Status, Kind::ReadOnlyEdit, "", ReadingEdit(1)},
    Fixed(Page::Status, "V", ReadingUnit(1)),
    {IDC_OPVoltageCB, Page::Status, Kind::CheckBox, "O/P Voltage", ReadingBox(2), "Show on the status page"},
    {IDC_OPVoltageE, Page::Status, Kind::ReadOnlyEdit, "", ReadingEdit(2)},
    Fixed(Page::Status, "V", ReadingUnit(2)),
    {IDC_OPCurrentCB, Page::Status, Kind::CheckBox, "O/P Current", ReadingBox(3), "Show on the status page"},
    {IDC_OPCurrentE, Page::Status, Kind::ReadOnlyEdit, "", ReadingEdit(3)},
    Fixed(Page::Status, "%", ReadingUnit(3)),
    {IDC_IPFrequencyCB, Page::Status, Kind::CheckBox, "I/P Frequency", ReadingBox(4), "Show on the status page"},
    {IDC_IPFrequencyE, Page::Status, Kind::ReadOnlyEdit, "", ReadingEdit(4)},
    Fixed(Page::Status, "Hz", ReadingUnit(4)),
    {IDC_BatteryVoltageCB, Page::Status, Kind::CheckBox, "Battery Voltage", ReadingBox(5),
     "Show on the status page"},
    {IDC_BatteryVoltageE, Page::Status, Kind::ReadOnlyEdit, "", ReadingEdit(5)},
    Fixed(Page::Status, "V", ReadingUnit(5)),
    {IDC_TemperatureCB, Page::Status, Kind::CheckBox, "Temperature", ReadingBox(6), "Show on the status page"},
    {IDC_TemperatureE, Page::Status, Kind::ReadOnlyEdit, "", ReadingEdit(6)},
    Fixed(Page::Status, "\xB0" "C", ReadingUnit(6)),
    {IDC_UPSStatusCB, Page::Status, Kind::CheckBox, "UPS Status", ReadingBox(7), "Show on the status page"},
    // No unit: the eight status bits take its room too.
    {IDC_UPSStatusE, Page::Status, Kind::ReadOnlyEdit, "", {106, ReadingEdit(7).y, 66, 18}},

    {IDC_UPSStatusGB, Page::Status, Kind::Group, "UPS Status", {176, 58, 104, 148}, nullptr, 0, 0,
     kStartsDisabled},
    {IDC_UPSStatusCB1, Page::Status, Kind::StatusBox, "Power Fail", BitBox(0), nullptr, 0, 0, kStartsDisabled},
    {IDC_UPSStatusCB2, Page::Status, Kind::StatusBox, "Battery Low", BitBox(1), nullptr, 0, 0, kStartsDisabled},
    {IDC_UPSStatusCB3, Page::Status, Kind::StatusBox, "AVR", BitBox(2, 42), nullptr, 0, 0, kStartsDisabled},
    {IDC_AVRModeL, Page::Status, Kind::Label, "...", {224, kBitTop + 2 * kBitStep + 1, 50, 14}, nullptr, 0, 0,
     kStartsDisabled},
    {IDC_UPSStatusCB4, Page::Status, Kind::StatusBox, "UPS Failed", BitBox(3), nullptr, 0, 0, kStartsDisabled},
    {IDC_UPSStatusCB5, Page::Status, Kind::StatusBox, "Standby UPS", BitBox(4), nullptr, 0, 0, kStartsDisabled},
    {IDC_UPSStatusCB6, Page::Status, Kind::StatusBox, "Test in Progress", BitBox(5), nullptr, 0, 0,
     kStartsDisabled},
    {IDC_UPSStatusCB7, Page::Status, Kind::StatusBox, "Shutdown Active", BitBox(6), nullptr, 0, 0,
     kStartsDisabled},
    {IDC_UPSStatusCB8, Page::Status, Kind::StatusBox, "Beeper On", BitBox(7), nullptr, 0, 0, kStartsDisabled},
    {IDC_PowerFailCB, Page::Status, Kind::CheckBox, "", EventBox(0), "Power Fail: warn and show on the status page"},
    {IDC_BatteryLowCB, Page::Status, Kind::CheckBox, "", EventBox(1),
     "Battery Low: warn and show on the status page"},
    {IDC_AVRCB, Page::Status, Kind::CheckBox, "", EventBox(2), "AVR: warn and show on the status page"},
    {IDC_UPSFailCB, Page::Status, Kind::CheckBox, "", EventBox(3), "UPS Fail: show on the status page"},

    Fixed(Page::Status, "I/P Voltage Min:", {6, 225, 80, 14}),
    {IDC_IPVoltageMinL, Page::Status, Kind::Label, "", {88, 225, 40, 14}},
    Fixed(Page::Status, "I/P Voltage Max:", {132, 225, 82, 14}),
    {IDC_IPVoltageMaxL, Page::Status, Kind::Label, "", {216, 225, 44, 14}},
    // Under the status bits, leaving the voltages' row to their whole captions.
    Fixed(Page::Status, "Mode:", {180, 208, 30, 14}),
    {IDC_UPSModeL, Page::Status, Kind::Label, "", {212, 208, 40, 14}},

    Fixed(Page::Status, "Nominal Battery Voltage:", BatteryLabel(0)),
    {IDC_NominalBatteryVoltageE, Page::Status, Kind::ReadOnlyEdit, "12", BatteryEdit(0)},
    Fixed(Page::Status, "V", BatteryUnit(0)),
    Fixed(Page::Status, "Full Battery Voltage:", BatteryLabel(1)),
    {IDC_FullBatteryVoltageE, Page::Status, Kind::ReadOnlyEdit, "", BatteryEdit(1),
     "Page Up/Down: 1 V, arrows: 0.1 V"},
    UpDownFor(IDC_FullBatteryVoltageUD, Page::Status, IDC_FullBatteryVoltageE, BatteryEdit(1), Kind::TenthsUpDown),
    Fixed(Page::Status, "V", BatteryUnit(1)),
    Fixed(Page::Status, "Empty Battery Voltage:", BatteryLabel(2)),
    {IDC_EmptyBatteryVoltageE, Page::Status, Kind::ReadOnlyEdit, "", BatteryEdit(2),
     "Page Up/Down: 1 V, arrows: 0.1 V"},
    UpDownFor(IDC_EmptyBatteryVoltageUD, Page::Status, IDC_EmptyBatteryVoltageE, BatteryEdit(2),
              Kind::TenthsUpDown),
    Fixed(Page::Status, "V", BatteryUnit(2)),
    Fixed(Page::Status, "Battery Charge:", {200, 249, 92, 14}),
    {IDC_BatteryChargeL, Page::Status, Kind::LabelRight, "...", {200, 267, 60, 14}},
    Fixed(Page::Status, "%", {262, 267, 14, 14}),
    {IDC_BatteryChargeRL, Page::Status, Kind::Gauge, "", {200, 286, 92, 20}, "Battery charge"},

    {IDC_LogGB, Page::Status, Kind::Group, "Log", {2, 318, 296, 136}},
    {IDC_LogM, Page::Status, Kind::LogMemo, "", {8, 334, 256, 114}},
    {IDC_ClearLogSB, Page::Status, Kind::ToolButton, "Clear Log", {268, 334, 24, 24}, "Clear Log", IDI_CLEAR_LOG},
    {IDC_SaveLogSB, Page::Status, Kind::ToolButton, "Save Log", {268, 362, 24, 24}, "Save Log", IDI_SAVE_LOG},

    // ---- Settings
    {IDC_RepPageControl, Page::Settings, Kind::Tabs, "", {2, 2, 296, 128}},

    // The send buttons take the top right corner of their page.
    Fixed(Page::Smtp, "Host:", {2, 7, 32, 14}),
    {IDC_SMTPHostE, Page::Smtp, Kind::TextEdit, "", {36, 4, 130, 20}, "Mail server"},
    Fixed(Page::Smtp, "Port:", {170, 7, 26, 14}),
    {IDC_SMTPPortE, Page::Smtp, Kind::TextEdit, "", {198, 4, 54, 20}},
    {IDC_SendSMTPRepSB, Page::Smtp, Kind::ToolButton, "Send Test Report", kRepSendButton, "Send Test Report",
     IDI_START},
    Fixed(Page::Smtp, "Login:", {2, 31, 32, 14}),
    {IDC_SMTPLoginE, Page::Smtp, Kind::TextEdit, "", {36, 28, 92, 20}},
    Fixed(Page::Smtp, "Password:", {132, 31, 50, 14}),
    {IDC_SMTPPswE, Page::Smtp, Kind::PasswordEdit, "", {184, 28, 98, 20}},
    Fixed(Page::Smtp, "From:", {2, 55, 32, 14}),
    {IDC_SMTPFromE, Page::Smtp, Kind::TextEdit, "", {36, 52, 104, 20}, "Sender address"},
    Fixed(Page::Smtp, "E-Mail:", {144, 55, 38, 14}),
    {IDC_SMTPMailE, Page::Smtp, Kind::TextEdit, "", {184, 52, 98, 20}, "Recipients, separated by commas"},
    {IDC_SMTPAuthCB, Page::Smtp, Kind::CheckBox, "Authentication", {2, 76, 94, 16}, "Log in at the mail server"},
    {IDC_SMTPReportsCB, Page::Smtp, Kind::CheckBox, "Reports", {98, 76, 56, 16}, "Send a report every period"},
    {IDC_SMTPDelayE, Page::Smtp, Kind::ReadOnlyEdit, "", kSMTPDelayE},
    UpDownFor(IDC_SMTPDelayUD, Page::Smtp, IDC_SMTPDelayE, kSMTPDelayE),
    Fixed(Page::Smtp, "min", {kSMTPDelayE.Right() + 2, 77, 18, 14}),
    {IDC_SMTPWarningsCB, Page::Smtp, Kind::CheckBox, "Warnings", {220, 76, 62, 16}, "Send a notice of each event"},

    {IDC_HTTPCB, Page::Http, Kind::CheckBox, "Enabled", {2, 5, 64, 16}, "Serve the status page"},
    Fixed(Page::Http, "Port:", {72, 7, 26, 14}),
    {IDC_HTTPPortE, Page::Http, Kind::TextEdit, "", {100, 4, 56, 20}},
    {IDC_HTTPAuthCB, Page::Http, Kind::CheckBox, "Authentication", {2, 30, 96, 16}},
    Fixed(Page::Http, "User:", {2, 55, 32, 14}),
    {IDC_HTTPUserE, Page::Http, Kind::TextEdit, "", {36, 52, 92, 20}},
    Fixed(Page::Http, "Password:", {132, 55, 50, 14}),
    {IDC_HTTPPasswordE, Page::Http, Kind::PasswordEdit, "", {184, 52, 98, 20}},

    Fixed(Page::Lan, "Server Name:", {2, 7, 64, 14}),
    {IDC_LANServerNameE, Page::Lan, Kind::TextEdit, "", {70, 4, 158, 20}, "Computer that receives the messages"},
    {IDC_LANRepSB, Page::Lan, Kind::ToolButton, "Send Test Report", kRepSendButton, "Send Test Report", IDI_START},
    {IDC_LANReportsCB, Page::Lan, Kind::CheckBox, "Reports", {2, 30, 58, 16}, "Send a report every period"},
    {IDC_LANDelayE, Page::Lan, Kind::ReadOnlyEdit, "", kLANDelayE},
    UpDownFor(IDC_LANDelayUD, Page::Lan, IDC_LANDelayE, kLANDelayE),
    Fixed(Page::Lan, "min", {kLANDelayE.Right() + 2, 31, 20, 14}),
    {IDC_LANWarningsCB, Page::Lan, Kind::CheckBox, "Warnings", {130, 30, 64, 16}, "Send a notice of each event"},

    {IDC_PowerFailGB, Page::Settings, Kind::Group, "Power Fail", {2, 134, 296, 128}},
    {IDC_DelayCB, Page::Settings, Kind::CheckBox, "Delay:", {8, 152, 62, 16}, "Count down when mains power fails"},
    {IDC_DelayE, Page::Settings, Kind::ReadOnlyEdit, "", kDelayE},
    UpDownFor(IDC_DelayUD, Page::Settings, IDC_DelayE, kDelayE),
    Fixed(Page::Settings, "s", {128, 153, 10, 14}),
    {IDC_MinVoltageCB, Page::Settings, Kind::CheckBox, "Min. Voltage:", {140, 152, 84, 16},
     "Act at once below this battery voltage"},
    {IDC_MinVoltageE, Page::Settings, Kind::ReadOnlyEdit, "", kMinVoltageE, "Page Up/Down: 1 V, arrows: 0.1 V"},
    UpDownFor(IDC_MinVoltageUD, Page::Settings, IDC_MinVoltageE, kMinVoltageE, Kind::TenthsUpDown),
    Fixed(Page::Settings, "V", {278, 153, 12, 14}),
    {IDC_ActionGB, Page::Settings, Kind::Group, "Action", {8, 174, 282, 38}},
    {IDC_ShutdownRB, Page::Settings, Kind::Radio, "Shutdown", {14, 190, 66, 16}},
    {IDC_SleepRB, Page::Settings, Kind::Radio, "Suspend", {82, 190, 64, 16}},
    {IDC_HibernateRB, Page::Settings, Kind::Radio, "Hibernate", {148, 190, 70, 16}},
    {IDC_NothingRB, Page::Settings, Kind::Radio, "Nothing", {220, 190, 66, 16}},
    {IDC_UPSShutdownCB, Page::Settings, Kind::CheckBox, "UPS Shutdown", {8, 218, 98, 16},
     "Tell the UPS to switch itself off"},
    {IDC_UPSShutdownE, Page::Settings, Kind::ReadOnlyEdit, "", kUPSShutdownE},
    UpDownFor(IDC_UPSShutdownUD, Page::Settings, IDC_UPSShutdownE, kUPSShutdownE),
    {IDC_UPSShutdownUL, Page::Settings, Kind::Label, "min", {150, 219, 24, 14}},
    {IDC_ExCB, Page::Settings, Kind::CheckBox, "Run program", {8, 240, 88, 16}},
    {IDC_ExSB, Page::Settings, Kind::TextButton, "...", {98, 238, 24, 20}, "External Program Select..."},
    {IDC_ExL, Page::Settings, Kind::Label, "", {126, 241, 164, 14}},

    {IDC_SettingsGB, Page::Settings, Kind::Group, "Settings", {2, 266, 296, 62}},
    {IDC_AutoRunCB, Page::Settings, Kind::CheckBox, "AutoRun", {8, 284, 76, 16}, "Start with the user's log-on"},
    Fixed(Page::Settings, "Refresh Interval:", {120, 285, 90, 14}, Kind::LabelRight),
    {IDC_RefreshE, Page::Settings, Kind::NumberEdit, "", kRefreshE},
    UpDownFor(IDC_RefreshUD, Page::Settings, IDC_RefreshE, kRefreshE),
    Fixed(Page::Settings, "s", {254, 285, 10, 14}),
    {IDC_ForceSuspendCB, Page::Settings, Kind::CheckBox, "Force Suspend", {8, 306, 92, 16}},
    {IDC_ForceShutdownCB, Page::Settings, Kind::CheckBox, "Force Shutdown", {102, 306, 98, 16}},
    {IDC_BalloonCB, Page::Settings, Kind::CheckBox, "Balloon Hints", {202, 306, 90, 16}},

    {IDC_AboutGB, Page::Settings, Kind::Group, "About", {2, 332, 296, 122}},
    {IDC_LogoI, Page::Settings, Kind::Icon, "", {12, 352, 32, 32}, nullptr, IDI_APP},
    {IDC_ProgNameL, Page::Settings, Kind::Title, "Veltrano", {52, 352, 70, 16}},
    {IDC_VersionL, Page::Settings, Kind::Label, "", {124, 354, 120, 14}},
    Fixed(Page::Settings, "OS:", {52, 374, 20, 14}),
    {IDC_OSL, Page::Settings, Kind::Label, "", {74, 374, 218, 14}},
    {IDC_HomeL, Page::Settings, Kind::Link, "www.quorvane.example", {52, 398, 180, 14}, "Home page"},
    {IDC_MailL, Page::Settings, Kind::Link, "support@quorvane.example", {52, 418, 180, 14}, "Write to support"},
    {IDC_DonateI, Page::Settings, Kind::Icon, "", {252, 398, 32, 32}, "Support the project", IDI_DONATE},
};

struct PageDef {
    int id;
    const char* caption;
};

inline constexpr PageDef kPages[kPageCount] = {
    {IDC_InfoTS, "UPS Information"},
    {IDC_StatusTS, "UPS Status"},
    {IDC_AboutTS, "Settings"},
};
inline constexpr int kOpeningPage = 2;  // the window opens on "Settings"

inline constexpr PageDef kRepPages[kRepPageCount] = {
    {IDC_SMTPTS, "SMTP"},
    {IDC_HTTPTS, "HTTP"},
    {IDC_LANTS, "LAN"},
};

// The page of PC, or of RepPageControl, that holds the controls of `page`;
// -1 for the window itself.
int PageIndex(Page page);

}  // namespace velt::ui::layout
