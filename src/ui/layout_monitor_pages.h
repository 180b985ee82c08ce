#pragma once
// The main window's toolbar and the pages that show the UPS: information,
// status and history. Groups come before their contents: a group box must be
// below them in the z-order, and creation order is z-order.
#include "ui/layout_types.h"

namespace velt::ui::layout {

// Rows and columns of the UPS Information page.

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

// The UPS Status page: eight readings, each a page-selection box captioned
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

// ---- Toolbar
inline constexpr ControlSpec kToolbarControls[] = {
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
};

// ---- UPS Information
inline constexpr ControlSpec kInfoControls[] = {
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
};

// ---- UPS Status
inline constexpr ControlSpec kStatusControls[] = {
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
};

// ---- History: the span and the export above the chart, the outages under it
inline constexpr ControlSpec kHistoryControls[] = {
    Fixed(Page::History, IDS_Span, {4, 7, 30, 14}),
    {IDC_HistorySpanLB, Page::History, Kind::ComboList, kNoText, {36, 4, 110, 20}, IDS_SpanHint},
    {IDC_HistoryExportSB, Page::History, Kind::TextButton, IDS_ExportCsv, {218, 3, 80, 22}, IDS_ExportCsvHint},
    {IDC_HistoryChart, Page::History, Kind::Chart, IDS_HistoryEmpty, {2, 30, 296, 258}},
    Fixed(Page::History, IDS_Outages, {4, 294, 100, 14}),
    {IDC_OutageLV, Page::History, Kind::ListView, kNoText, {2, 310, 296, 144}},
};

}  // namespace velt::ui::layout
