#pragma once
// Where the main window's controls sit, as data: the window builds its controls
// from this table, and native tests check that everything fits the fixed
// 318 x 550 client area. Coordinates on a page are relative to the page.
// The table and the helpers that build it are constexpr, so they stay here.
#include "ui/control_ids.h"
#include "ui/resource.h"
#include "ui/string_ids.h"

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

enum class Page { Window, Info, Status, Settings, Smtp, Http, Lan, Nut, History };
inline constexpr int kPageCount = 4;
inline constexpr int kRepPageCount = 4;

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
    Chart,         // the history's chart, painted by the window
    ListView,      // rows under column headers, one selected at a time
};

inline constexpr int kNoId = -1;  // labels nobody needs to find

inline constexpr unsigned kStartsDisabled = 1;

// Texts are string ids: the window loads them from its resources.
struct ControlSpec {
    int id;
    Page page;
    Kind kind;
    StringId text;
    Box box;
    StringId hint = kNoText;  // tooltip
    int icon = 0;                // resource id for tool buttons and pictures
    int buddy = 0;               // for up-downs
    unsigned flags = 0;
};

constexpr ControlSpec Tool(int id, int slot, StringId hint, int icon) {
    return {id, Page::Window, Kind::ToolButton, hint, ToolSlot(slot), hint, icon};
}
constexpr ControlSpec Fixed(Page page, StringId text, Box box, Kind kind = Kind::Label) {
    return {kNoId, page, kind, text, box};
}
constexpr ControlSpec UpDownFor(int id, Page page, int buddy, Box buddyBox, Kind kind = Kind::UpDown) {
    // Attached to the right edge of its buddy, inside the buddy's box.
    return {id, page, kind, kNoText, {buddyBox.Right(), buddyBox.y, 0, buddyBox.h}, kNoText, 0, buddy};
}

// ---- UPS Information page

inline constexpr int kIdRowTop = 18, kIdRowStep = 23;
constexpr Box IdLabel(int row) { return {8, kIdRowTop + row * kIdRowStep + 3, 82, 14}; }
constexpr Box IdEdit(int row) { return {94, kIdRowTop + row * kIdRowStep, 196, 20}; }

inline constexpr int kProbeColumn[4] = {28, 96, 164, 232};
constexpr Box ProbeLabel(int i) { return {kProbeColumn[i], 182, 40, 14}; }
constexpr Box ProbeBox(int i) { return {kProbeColumn[i] + 13, 198, 16, 16}; }

// The NUT server's fields: three rows under the connection's picture.
inline constexpr int kRemoteRowTop = 326, kRemoteRowStep = 24;
constexpr Box RemoteLabel(int row, int x, int w) { return {x, kRemoteRowTop + row * kRemoteRowStep + 3, w, 14}; }
constexpr Box RemoteEdit(int row, int x, int w) { return {x, kRemoteRowTop + row * kRemoteRowStep, w, 20}; }
inline constexpr Box kRemoteDeadTimeE = RemoteEdit(1, 218, 40);

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
inline constexpr Box kNUTWaitE{80, 76, 40, 20};
inline constexpr Box kRepSendButton{258, 2, 24, 24};

// Groups come before their contents: a group box must be below them in the
// z-order, and creation order is z-order.
inline constexpr ControlSpec kMainControls[] = {
    Tool(IDC_StartSB, 0, IDS_Start, IDI_START),
    Tool(IDC_StopSB, 1, IDS_Stop, IDI_STOP),
    Tool(IDC_UPSBeeperSB, 2, IDS_ToggleBeeper, IDI_BEEPER),
    Tool(IDC_Test10sSB, 3, IDS_Test10s, IDI_TEST10S),
    Tool(IDC_TestTSB, 4, IDS_TestT, IDI_TEST_T),
    Tool(IDC_TestLowSB, 5, IDS_TestLow, IDI_TEST_LOW),
    Tool(IDC_CancelTestSB, 6, IDS_CancelTest, IDI_CANCEL_TEST),
    Tool(IDC_SleepSB, 7, IDS_Sleep, IDI_SLEEP),
    Tool(IDC_HibernateSB, 8, IDS_Hibernate, IDI_HIBERNATE),
    Tool(IDC_ShutdownSB, 9, IDS_Shutdown, IDI_SHUTDOWN),
    Tool(IDC_SaveSetSB, 10, IDS_SaveSettings, IDI_SAVE_SETTINGS),
    Tool(IDC_ExitSB, 11, IDS_Exit, IDI_EXIT),

    // ---- UPS Information
    {IDC_UPSGB, Page::Info, Kind::Group, IDS_UPS, {2, 2, 296, 160}},
    {IDC_VIDNL, Page::Info, Kind::LabelRight, IDS_VID, IdLabel(0), kNoText, 0, 0, kStartsDisabled},
    {IDC_VIDE, Page::Info, Kind::ReadOnlyEdit, kNoText, IdEdit(0), kNoText, 0, 0, kStartsDisabled},
    {IDC_PIDNL, Page::Info, Kind::LabelRight, IDS_PID, IdLabel(1), kNoText, 0, 0, kStartsDisabled},
    {IDC_PIDE, Page::Info, Kind::ReadOnlyEdit, kNoText, IdEdit(1), kNoText, 0, 0, kStartsDisabled},
    {IDC_ProductNameNL, Page::Info, Kind::LabelRight, IDS_ProductName, IdLabel(2), kNoText, 0, 0, kStartsDisabled},
    {IDC_ProductNameE, Page::Info, Kind::ReadOnlyEdit, kNoText, IdEdit(2), kNoText, 0, 0, kStartsDisabled},
    {IDC_MfrNL, Page::Info, Kind::LabelRight, IDS_Mfr, IdLabel(3), kNoText, 0, 0, kStartsDisabled},
    {IDC_MfrE, Page::Info, Kind::ReadOnlyEdit, kNoText, IdEdit(3), kNoText, 0, 0, kStartsDisabled},
    {IDC_ModelNL, Page::Info, Kind::LabelRight, IDS_Model, IdLabel(4), kNoText, 0, 0, kStartsDisabled},
    {IDC_ModelE, Page::Info, Kind::ReadOnlyEdit, kNoText, IdEdit(4), kNoText, 0, 0, kStartsDisabled},
    {IDC_VerNL, Page::Info, Kind::LabelRight, IDS_Ver, IdLabel(5), kNoText, 0, 0, kStartsDisabled},
    {IDC_VerE, Page::Info, Kind::ReadOnlyEdit, kNoText, IdEdit(5), kNoText, 0, 0, kStartsDisabled},

    {IDC_SupportedCommandsGB, Page::Info, Kind::Group, IDS_SupportedCommands, {2, 166, 296, 56}},
    {IDC_Q1_L, Page::Info, Kind::LabelCenter, IDS_Q1, ProbeLabel(0), kNoText, 0, 0, kStartsDisabled},
    {IDC_QS_L, Page::Info, Kind::LabelCenter, IDS_QS, ProbeLabel(1), kNoText, 0, 0, kStartsDisabled},
    {IDC_F_L, Page::Info, Kind::LabelCenter, IDS_F, ProbeLabel(2), kNoText, 0, 0, kStartsDisabled},
    {IDC_I_L, Page::Info, Kind::LabelCenter, IDS_I, ProbeLabel(3), kNoText, 0, 0, kStartsDisabled},
    {IDC_Q1_CB, Page::Info, Kind::CheckBox, kNoText, ProbeBox(0), IDS_Q1Hint},
    {IDC_QS_CB, Page::Info, Kind::CheckBox, kNoText, ProbeBox(1), IDS_QSHint},
    {IDC_F_CB, Page::Info, Kind::CheckBox, kNoText, ProbeBox(2), IDS_FHint},
    {IDC_I_CB, Page::Info, Kind::CheckBox, kNoText, ProbeBox(3), IDS_IHint},

    // The source first; under the picture, a label for each kind of link, the
    // network's wide enough for "ups@host:port"; then the NUT server's fields.
    {IDC_ConnectionGB, Page::Info, Kind::Group, IDS_Connection, {2, 226, 296, 174}},
    Fixed(Page::Info, IDS_Source, {8, 245, 40, 14}),
    {IDC_UPSSourceLB, Page::Info, Kind::ComboList, kNoText, {50, 242, 240, 20}, IDS_SourceHint},
    {IDC_ConnI, Page::Info, Kind::Icon, kNoText, {12, 268, 32, 32}},
    {IDC_USBL, Page::Info, Kind::Label, IDS_USB, {52, 268, 44, 14}, kNoText, 0, 0, kStartsDisabled},
    {IDC_COML, Page::Info, Kind::Label, IDS_COM, {52, 287, 44, 14}, kNoText, 0, 0, kStartsDisabled},
    Fixed(Page::Info, IDS_HIDs, {102, 268, 60, 14}),
    {IDC_USBLB, Page::Info, Kind::ComboList, kNoText, {102, 284, 188, 20}},
    {IDC_NetL, Page::Info, Kind::Label, IDS_NUT, {52, 306, 238, 14}, kNoText, 0, 0, kStartsDisabled},
    Fixed(Page::Info, IDS_Host, RemoteLabel(0, 8, 30)),
    {IDC_RemoteHostE, Page::Info, Kind::TextEdit, kNoText, RemoteEdit(0, 40, 150), IDS_RemoteHostHint, 0, 0,
     kStartsDisabled},
    Fixed(Page::Info, IDS_Port, RemoteLabel(0, 194, 26)),
    {IDC_RemotePortE, Page::Info, Kind::TextEdit, kNoText, RemoteEdit(0, 222, 68), kNoText, 0, 0, kStartsDisabled},
    Fixed(Page::Info, IDS_UPSName, RemoteLabel(1, 8, 54)),
    {IDC_RemoteUPSE, Page::Info, Kind::TextEdit, kNoText, RemoteEdit(1, 64, 92), IDS_RemoteUPSHint, 0, 0,
     kStartsDisabled},
    Fixed(Page::Info, IDS_DeadTime, RemoteLabel(1, 160, 56)),
    {IDC_RemoteDeadTimeE, Page::Info, Kind::ReadOnlyEdit, kNoText, kRemoteDeadTimeE, IDS_DeadTimeHint, 0, 0,
     kStartsDisabled},
    UpDownFor(IDC_RemoteDeadTimeUD, Page::Info, IDC_RemoteDeadTimeE, kRemoteDeadTimeE),
    Fixed(Page::Info, IDS_Seconds, RemoteLabel(1, kRemoteDeadTimeE.Right() + 2, 10)),
    Fixed(Page::Info, IDS_User, RemoteLabel(2, 8, 30)),
    {IDC_RemoteUserE, Page::Info, Kind::TextEdit, kNoText, RemoteEdit(2, 40, 100), IDS_RemoteUserHint, 0, 0,
     kStartsDisabled},
    Fixed(Page::Info, IDS_Password, RemoteLabel(2, 144, 48)),
    {IDC_RemotePasswordE, Page::Info, Kind::PasswordEdit, kNoText, RemoteEdit(2, 194, 96), kNoText, 0, 0,
     kStartsDisabled},

    // ---- UPS Status
    Fixed(Page::Status, IDS_DataStream, {4, 4, 100, 14}),
    {IDC_TimeL, Page::Status, Kind::LabelRight, kNoText, {106, 4, 170, 14}},
    {IDC_ProgressL, Page::Status, Kind::LabelCenter, kNoText, {280, 4, 16, 14}},
    {IDC_ReportStringE, Page::Status, Kind::ReadOnlyEdit, kNoText, {2, 20, 296, 20}},

    {IDC_UPSInformationGB, Page::Status, Kind::Group, IDS_UPSInformation, {2, 44, 296, 288}},
    {IDC_IPVoltageCB, Page::Status, Kind::CheckBox, IDS_IPVoltage, ReadingBox(0), IDS_ShowOnPage},
    {IDC_IPVoltageE, Page::Status, Kind::ReadOnlyEdit, kNoText, ReadingEdit(0)},
    Fixed(Page::Status, IDS_Volts, ReadingUnit(0)),
    {IDC_IPFaultVoltageCB, Page::Status, Kind::CheckBox, IDS_IPFaultVoltage, ReadingBox(1),
     IDS_ShowOnPage},
    {IDC_IPFaultVoltageE, Page::Status, Kind::ReadOnlyEdit, kNoText, ReadingEdit(1)},
    Fixed(Page::Status, IDS_Volts, ReadingUnit(1)),
    {IDC_OPVoltageCB, Page::Status, Kind::CheckBox, IDS_OPVoltage, ReadingBox(2), IDS_ShowOnPage},
    {IDC_OPVoltageE, Page::Status, Kind::ReadOnlyEdit, kNoText, ReadingEdit(2)},
    Fixed(Page::Status, IDS_Volts, ReadingUnit(2)),
    {IDC_OPCurrentCB, Page::Status, Kind::CheckBox, IDS_OPCurrent, ReadingBox(3), IDS_ShowOnPage},
    {IDC_OPCurrentE, Page::Status, Kind::ReadOnlyEdit, kNoText, ReadingEdit(3)},
    Fixed(Page::Status, IDS_Percent, ReadingUnit(3)),
    {IDC_IPFrequencyCB, Page::Status, Kind::CheckBox, IDS_IPFrequency, ReadingBox(4), IDS_ShowOnPage},
    {IDC_IPFrequencyE, Page::Status, Kind::ReadOnlyEdit, kNoText, ReadingEdit(4)},
    Fixed(Page::Status, IDS_Hertz, ReadingUnit(4)),
    {IDC_BatteryVoltageCB, Page::Status, Kind::CheckBox, IDS_BatteryVoltage, ReadingBox(5),
     IDS_ShowOnPage},
    {IDC_BatteryVoltageE, Page::Status, Kind::ReadOnlyEdit, kNoText, ReadingEdit(5)},
    Fixed(Page::Status, IDS_Volts, ReadingUnit(5)),
    {IDC_TemperatureCB, Page::Status, Kind::CheckBox, IDS_Temperature, ReadingBox(6), IDS_ShowOnPage},
    {IDC_TemperatureE, Page::Status, Kind::ReadOnlyEdit, kNoText, ReadingEdit(6)},
    Fixed(Page::Status, IDS_Celsius, ReadingUnit(6)),
    {IDC_UPSStatusCB, Page::Status, Kind::CheckBox, IDS_UPSStatus, ReadingBox(7), IDS_ShowOnPage},
    // No unit: the eight status bits take its room too.
    {IDC_UPSStatusE, Page::Status, Kind::ReadOnlyEdit, kNoText, {106, ReadingEdit(7).y, 66, 18}},

    {IDC_UPSStatusGB, Page::Status, Kind::Group, IDS_UPSStatus, {176, 58, 104, 148}, kNoText, 0, 0,
     kStartsDisabled},
    {IDC_UPSStatusCB1, Page::Status, Kind::StatusBox, IDS_PowerFail, BitBox(0), kNoText, 0, 0, kStartsDisabled},
    {IDC_UPSStatusCB2, Page::Status, Kind::StatusBox, IDS_BatteryLow, BitBox(1), kNoText, 0, 0, kStartsDisabled},
    {IDC_UPSStatusCB3, Page::Status, Kind::StatusBox, IDS_AVR, BitBox(2, 42), kNoText, 0, 0, kStartsDisabled},
    {IDC_AVRModeL, Page::Status, Kind::Label, IDS_NoValue, {224, kBitTop + 2 * kBitStep + 1, 50, 14}, kNoText, 0, 0,
     kStartsDisabled},
    {IDC_UPSStatusCB4, Page::Status, Kind::StatusBox, IDS_UPSFailed, BitBox(3), kNoText, 0, 0, kStartsDisabled},
    {IDC_UPSStatusCB5, Page::Status, Kind::StatusBox, IDS_StandbyUPS, BitBox(4), kNoText, 0, 0, kStartsDisabled},
    {IDC_UPSStatusCB6, Page::Status, Kind::StatusBox, IDS_TestInProgress, BitBox(5), kNoText, 0, 0,
     kStartsDisabled},
    {IDC_UPSStatusCB7, Page::Status, Kind::StatusBox, IDS_ShutdownActive, BitBox(6), kNoText, 0, 0,
     kStartsDisabled},
    {IDC_UPSStatusCB8, Page::Status, Kind::StatusBox, IDS_BeeperOn, BitBox(7), kNoText, 0, 0, kStartsDisabled},
    {IDC_PowerFailCB, Page::Status, Kind::CheckBox, kNoText, EventBox(0), IDS_PowerFailHint},
    {IDC_BatteryLowCB, Page::Status, Kind::CheckBox, kNoText, EventBox(1),
     IDS_BatteryLowHint},
    {IDC_AVRCB, Page::Status, Kind::CheckBox, kNoText, EventBox(2), IDS_AVRHint},
    {IDC_UPSFailCB, Page::Status, Kind::CheckBox, kNoText, EventBox(3), IDS_UPSFailHint},

    Fixed(Page::Status, IDS_IPVoltageMin, {6, 225, 80, 14}),
    {IDC_IPVoltageMinL, Page::Status, Kind::Label, kNoText, {88, 225, 40, 14}},
    Fixed(Page::Status, IDS_IPVoltageMax, {132, 225, 82, 14}),
    {IDC_IPVoltageMaxL, Page::Status, Kind::Label, kNoText, {216, 225, 44, 14}},
    // Under the status bits, leaving the voltages' row to their whole captions.
    Fixed(Page::Status, IDS_Mode, {180, 208, 30, 14}),
    {IDC_UPSModeL, Page::Status, Kind::Label, kNoText, {212, 208, 40, 14}},

    Fixed(Page::Status, IDS_NominalBatteryVoltage, BatteryLabel(0)),
    {IDC_NominalBatteryVoltageE, Page::Status, Kind::ReadOnlyEdit, IDS_DefaultBatteryVolts, BatteryEdit(0)},
    Fixed(Page::Status, IDS_Volts, BatteryUnit(0)),
    Fixed(Page::Status, IDS_FullBatteryVoltage, BatteryLabel(1)),
    {IDC_FullBatteryVoltageE, Page::Status, Kind::ReadOnlyEdit, kNoText, BatteryEdit(1),
     IDS_TenthsHint},
    UpDownFor(IDC_FullBatteryVoltageUD, Page::Status, IDC_FullBatteryVoltageE, BatteryEdit(1), Kind::TenthsUpDown),
    Fixed(Page::Status, IDS_Volts, BatteryUnit(1)),
    Fixed(Page::Status, IDS_EmptyBatteryVoltage, BatteryLabel(2)),
    {IDC_EmptyBatteryVoltageE, Page::Status, Kind::ReadOnlyEdit, kNoText, BatteryEdit(2),
     IDS_TenthsHint},
    UpDownFor(IDC_EmptyBatteryVoltageUD, Page::Status, IDC_EmptyBatteryVoltageE, BatteryEdit(2),
              Kind::TenthsUpDown),
    Fixed(Page::Status, IDS_Volts, BatteryUnit(2)),
    Fixed(Page::Status, IDS_BatteryCharge, {200, 249, 92, 14}),
    {IDC_BatteryChargeL, Page::Status, Kind::LabelRight, IDS_NoValue, {200, 267, 60, 14}},
    Fixed(Page::Status, IDS_Percent, {262, 267, 14, 14}),
    {IDC_BatteryChargeRL, Page::Status, Kind::Gauge, kNoText, {200, 286, 92, 20}, IDS_BatteryChargeHint},
    // One line under the battery, empty while nothing is known.
    {IDC_RuntimeL, Page::Status, Kind::Label, kNoText, {6, 313, 220, 14}},
    {IDC_PowerWattsL, Page::Status, Kind::LabelRight, kNoText, {228, 313, 64, 14}},

    {IDC_LogGB, Page::Status, Kind::Group, IDS_Log, {2, 336, 296, 118}},
    {IDC_LogM, Page::Status, Kind::LogMemo, kNoText, {8, 352, 256, 96}},
    {IDC_ClearLogSB, Page::Status, Kind::ToolButton, IDS_ClearLog, {268, 352, 24, 24}, IDS_ClearLog, IDI_CLEAR_LOG},
    {IDC_SaveLogSB, Page::Status, Kind::ToolButton, IDS_SaveLog, {268, 380, 24, 24}, IDS_SaveLog, IDI_SAVE_LOG},

    // ---- Settings
    {IDC_RepPageControl, Page::Settings, Kind::Tabs, kNoText, {2, 2, 296, 128}},

    // The send buttons take the top right corner of their page.
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

    {IDC_HTTPCB, Page::Http, Kind::CheckBox, IDS_Enabled, {2, 5, 64, 16}, IDS_HTTPHint},
    Fixed(Page::Http, IDS_Port, {72, 7, 26, 14}),
    {IDC_HTTPPortE, Page::Http, Kind::TextEdit, kNoText, {100, 4, 56, 20}},
    {IDC_HTTPAuthCB, Page::Http, Kind::CheckBox, IDS_Authentication, {2, 30, 96, 16}},
    Fixed(Page::Http, IDS_User, {2, 55, 32, 14}),
    {IDC_HTTPUserE, Page::Http, Kind::TextEdit, kNoText, {36, 52, 92, 20}},
    Fixed(Page::Http, IDS_Password, {132, 55, 50, 14}),
    {IDC_HTTPPasswordE, Page::Http, Kind::PasswordEdit, kNoText, {184, 52, 98, 20}},

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

    Fixed(Page::Lan, IDS_ServerName, {2, 7, 64, 14}),
    {IDC_LANServerNameE, Page::Lan, Kind::TextEdit, kNoText, {70, 4, 158, 20}, IDS_ServerNameHint},
    {IDC_LANRepSB, Page::Lan, Kind::ToolButton, IDS_SendTestReport, kRepSendButton, IDS_SendTestReport, IDI_START},
    {IDC_LANReportsCB, Page::Lan, Kind::CheckBox, IDS_Reports, {2, 30, 58, 16}, IDS_ReportsHint},
    {IDC_LANDelayE, Page::Lan, Kind::ReadOnlyEdit, kNoText, kLANDelayE},
    UpDownFor(IDC_LANDelayUD, Page::Lan, IDC_LANDelayE, kLANDelayE),
    Fixed(Page::Lan, IDS_Minutes, {kLANDelayE.Right() + 2, 31, 20, 14}),
    {IDC_LANWarningsCB, Page::Lan, Kind::CheckBox, IDS_Warnings, {130, 30, 64, 16}, IDS_WarningsHint},

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

    // ---- History: the span and the export above the chart, the outages under it
    Fixed(Page::History, IDS_Span, {4, 7, 30, 14}),
    {IDC_HistorySpanLB, Page::History, Kind::ComboList, kNoText, {36, 4, 110, 20}, IDS_SpanHint},
    {IDC_HistoryExportSB, Page::History, Kind::TextButton, IDS_ExportCsv, {218, 3, 80, 22}, IDS_ExportCsvHint},
    {IDC_HistoryChart, Page::History, Kind::Chart, IDS_HistoryEmpty, {2, 30, 296, 258}},
    Fixed(Page::History, IDS_Outages, {4, 294, 100, 14}),
    {IDC_OutageLV, Page::History, Kind::ListView, kNoText, {2, 310, 296, 144}},
};

struct PageDef {
    int id;
    StringId caption;
};

inline constexpr PageDef kPages[kPageCount] = {
    {IDC_InfoTS, IDS_UPSInformation},
    {IDC_StatusTS, IDS_UPSStatus},
    {IDC_AboutTS, IDS_Settings},
    {IDC_HistoryTS, IDS_History},
};
inline constexpr int kOpeningPage = 2;  // the window opens on "Settings"

inline constexpr PageDef kRepPages[kRepPageCount] = {
    {IDC_SMTPTS, IDS_SMTP},
    {IDC_HTTPTS, IDS_HTTP},
    {IDC_LANTS, IDS_LAN},
    {IDC_NUTTS, IDS_NUT},
};

// The page of PC, or of RepPageControl, that holds the controls of `page`;
// -1 for the window itself.
int PageIndex(Page page);

}  // namespace velt::ui::layout
