#pragma once
// Control ids of the main window and its dialogs, with the names the UI probe
// uses to find them. Ids are unique across all windows of the program, so a name
// alone finds a control wherever it is. Plain C++: the probe includes it too.

#include "ui/string_ids.h"

namespace velt::ui {

inline constexpr const char* kMainWindowClass = "VeltranoMainForm";
// For the probe, which finds the dialog by caption; the program loads it
// from its resources.
inline constexpr const char* kComPortDialogCaption = TextOf(IDS_ComPortTitle);

enum ControlId : int {
    // toolbar
    IDC_StartSB = 1001,
    IDC_StopSB,
    IDC_UPSBeeperSB,
    IDC_Test10sSB,
    IDC_TestTSB,
    IDC_TestLowSB,
    IDC_CancelTestSB,
    IDC_SleepSB,
    IDC_HibernateSB,
    IDC_ShutdownSB,
    IDC_SaveSetSB,
    IDC_ExitSB,  // "SpeedButton3"

    IDC_StatusBar = 1100,
    IDC_PC,
    IDC_InfoTS,    // the three pages of PC
    IDC_StatusTS,
    IDC_AboutTS,
    IDC_RepPageControl,
    IDC_SMTPTS,    // the report pages of RepPageControl
    IDC_HTTPTS,
    IDC_LANTS,
    IDC_NUTTS,
    IDC_HistoryTS,  // the fourth page of PC
    IDC_PushTS,     // the fifth page of RepPageControl

    // UPS Status page
    IDC_ReportStringE = 1200,
    IDC_TimeL,
    IDC_ProgressL,
    IDC_LogM,
    IDC_ClearLogSB,
    IDC_SaveLogSB,
    IDC_LogGB,
    IDC_UPSInformationGB,
    IDC_IPVoltageCB,  // page-selection boxes, in field order
    IDC_IPFaultVoltageCB,
    IDC_OPVoltageCB,
    IDC_OPCurrentCB,
    IDC_IPFrequencyCB,
    IDC_BatteryVoltageCB,
    IDC_TemperatureCB,
    IDC_UPSStatusCB,
    IDC_IPVoltageE,  // readings, in field order
    IDC_IPFaultVoltageE,
    IDC_OPVoltageE,
    IDC_OPCurrentE,
    IDC_IPFrequencyE,
    IDC_BatteryVoltageE,
    IDC_TemperatureE,
    IDC_UPSStatusE,
    IDC_UPSStatusGB,
    IDC_UPSStatusCB1,  // status bits, display only
    IDC_UPSStatusCB2,
    IDC_UPSStatusCB3,
    IDC_UPSStatusCB4,
    IDC_UPSStatusCB5,
    IDC_UPSStatusCB6,
    IDC_UPSStatusCB7,
    IDC_UPSStatusCB8,
    IDC_AVRModeL,
    IDC_PowerFailCB,  // event selections
    IDC_BatteryLowCB,
    IDC_AVRCB,
    IDC_UPSFailCB,
    IDC_IPVoltageMinL,
    IDC_IPVoltageMaxL,
    IDC_UPSModeL,
    IDC_NominalBatteryVoltageE,
    IDC_FullBatteryVoltageE,
    IDC_FullBatteryVoltageUD,
    IDC_EmptyBatteryVoltageE,
    IDC_EmptyBatteryVoltageUD,
    IDC_BatteryChargeL,
    IDC_BatteryChargeRL,
    IDC_RuntimeL,  // the runtime left, or the full-charge runtime at this load
    IDC_PowerWattsL,

    // Settings page
    IDC_RefreshE = 1300,
    IDC_RefreshUD,
    IDC_SettingsGB,
    IDC_AutoRunCB,
    IDC_ForceSuspendCB,
    IDC_ForceShutdownCB,
    IDC_BalloonCB,
    IDC_PowerFailGB,
    IDC_DelayCB,
    IDC_DelayE,
    IDC_DelayUD,
    IDC_MinVoltageCB,
    IDC_MinVoltageE,
    IDC_MinVoltageUD,
    IDC_ActionGB,
    IDC_ShutdownRB,
    IDC_SleepRB,
    IDC_HibernateRB,
    IDC_NothingRB,
    IDC_UPSShutdownCB,
    IDC_UPSShutdownE,
    IDC_UPSShutdownUD,
    IDC_UPSShutdownUL,
    IDC_ExCB,
    IDC_ExSB,
    IDC_ExL,
    IDC_AboutGB,
    IDC_LogoI,
    IDC_ProgNameL,
    IDC_VersionL,
    IDC_OSL,
    IDC_HomeL,
    IDC_MailL,
    IDC_DonateI,
    // SMTP page
    IDC_SMTPHostE,
    IDC_SMTPPortE,
    IDC_SMTPLoginE,
    IDC_SMTPPswE,
    IDC_SMTPAuthCB,
    IDC_SMTPFromE,
    IDC_SMTPMailE,
    IDC_SMTPReportsCB,
    IDC_SMTPWarningsCB,
    IDC_SMTPDelayE,
    IDC_SMTPDelayUD,
    IDC_SendSMTPRepSB,
    // HTTP page
    IDC_HTTPCB,
    IDC_HTTPPortE,
    IDC_HTTPAuthCB,
    IDC_HTTPUserE,
    IDC_HTTPPasswordE,
    // LAN page
    IDC_LANServerNameE,
    IDC_LANReportsCB,
    IDC_LANWarningsCB,
    IDC_LANDelayE,
    IDC_LANDelayUD,
    IDC_LANRepSB,
    // SMTP page, added later
    IDC_SMTPSecurityLB,
    // NUT page
    IDC_NUTCB,
    IDC_NUTPortE,
    IDC_NUTUPSNameE,
    IDC_NUTUserE,
    IDC_NUTPasswordE,
    IDC_NUTHostsE,
    IDC_NUTWaitE,
    IDC_NUTWaitUD,
    IDC_NUTCommandsCB,
    // Push page
    IDC_WebhookURLE,
    IDC_WebhookHeaderE,
    IDC_WebhookWarningsCB,
    IDC_WebhookReportsCB,
    IDC_WebhookTestSB,
    IDC_NtfyURLE,
    IDC_NtfyTokenE,
    IDC_NtfyWarningsCB,
    IDC_NtfyTestSB,

    // UPS Information page
    IDC_UPSGB = 1500,
    IDC_VIDNL,
    IDC_VIDE,
    IDC_PIDNL,
    IDC_PIDE,
    IDC_ProductNameNL,
    IDC_ProductNameE,
    IDC_MfrNL,
    IDC_MfrE,
    IDC_ModelNL,
    IDC_ModelE,
    IDC_VerNL,
    IDC_VerE,
    IDC_SupportedCommandsGB,
    IDC_Q1_L,
    IDC_QS_L,
    IDC_F_L,
    IDC_I_L,
    IDC_Q1_CB,
    IDC_QS_CB,
    IDC_F_CB,
    IDC_I_CB,
    IDC_ConnectionGB,
    IDC_ConnI,
    IDC_USBL,
    IDC_COML,
    IDC_USBLB,
    // where the UPS is read from, and the NUT server it is read from
    IDC_UPSSourceLB,
    IDC_NetL,
    IDC_RemoteHostE,
    IDC_RemotePortE,
    IDC_RemoteUPSE,
    IDC_RemoteUserE,
    IDC_RemotePasswordE,
    IDC_RemoteDeadTimeE,
    IDC_RemoteDeadTimeUD,

    // COM Port dialog
    IDC_COMPortCB = 1400,
    IDC_COMPortSB,
    IDC_CancelSB,
    IDC_DTRCB,
    IDC_RTSCB,
    IDC_COMPortL,
    IDC_COMPortI,

    // TTestTForm: its OK and Cancel buttons share their names with buttons
    // elsewhere, so the probe knows them by the dialog's prefix.
    IDC_TestTE = 1600,
    IDC_TestTUD,
    IDC_TestTOkSB,
    IDC_TestTCancelSB,

    // TBatteryVoltForm
    IDC_BatteryVoltE = 1700,
    IDC_BatteryVoltUD,
    IDC_BatteryVoltSB,

    // History page
    IDC_HistorySpanLB = 1800,
    IDC_HistoryExportSB,
    IDC_HistoryChart,
    IDC_OutageLV,
};
// The Settings page's ids run on from 1300 and must stay below the dialog's;
// the information page's run on from 1500 and must stay below TTestTForm's.
static_assert(IDC_NtfyTestSB < IDC_COMPortCB);
static_assert(IDC_RemoteDeadTimeUD < IDC_TestTE);

struct NamedControl {
    const char* name;
    int id;
};

#define VELT_NAMED(n) {#n, IDC_##n}

inline constexpr NamedControl kNamedControls[] = {
    VELT_NAMED(StartSB), VELT_NAMED(StopSB), VELT_NAMED(UPSBeeperSB), VELT_NAMED(Test10sSB),
    VELT_NAMED(TestTSB), VELT_NAMED(TestLowSB), VELT_NAMED(CancelTestSB), VELT_NAMED(SleepSB),
    VELT_NAMED(HibernateSB), VELT_NAMED(ShutdownSB), VELT_NAMED(SaveSetSB), {"SpeedButton3", IDC_ExitSB},

    VELT_NAMED(StatusBar), VELT_NAMED(PC), VELT_NAMED(InfoTS), VELT_NAMED(StatusTS), VELT_NAMED(AboutTS),
    VELT_NAMED(RepPageControl), VELT_NAMED(SMTPTS), VELT_NAMED(HTTPTS), VELT_NAMED(LANTS),

    VELT_NAMED(ReportStringE), VELT_NAMED(TimeL), VELT_NAMED(ProgressL), VELT_NAMED(LogM),
    VELT_NAMED(ClearLogSB), VELT_NAMED(SaveLogSB), VELT_NAMED(LogGB), VELT_NAMED(UPSInformationGB),
    VELT_NAMED(IPVoltageCB), VELT_NAMED(IPFaultVoltageCB), VELT_NAMED(OPVoltageCB), VELT_NAMED(OPCurrentCB),
    VELT_NAMED(IPFrequencyCB), VELT_NAMED(BatteryVoltageCB), VELT_NAMED(TemperatureCB), VELT_NAMED(UPSStatusCB),
    VELT_NAMED(IPVoltageE), VELT_NAMED(IPFaultVoltageE), VELT_NAMED(OPVoltageE), VELT_NAMED(OPCurrentE),
    VELT_NAMED(IPFrequencyE), VELT_NAMED(BatteryVoltageE), VELT_NAMED(TemperatureE), VELT_NAMED(UPSStatusE),
    VELT_NAMED(UPSStatusGB), VELT_NAMED(UPSStatusCB1), VELT_NAMED(UPSStatusCB2), VELT_NAMED(UPSStatusCB3),
    VELT_NAMED(UPSStatusCB4), VELT_NAMED(UPSStatusCB5), VELT_NAMED(UPSStatusCB6), VELT_NAMED(UPSStatusCB7),
    VELT_NAMED(UPSStatusCB8), VELT_NAMED(AVRModeL), VELT_NAMED(PowerFailCB), VELT_NAMED(BatteryLowCB),
    VELT_NAMED(AVRCB), VELT_NAMED(UPSFailCB), VELT_NAMED(IPVoltageMinL), VELT_NAMED(IPVoltageMaxL),
    VELT_NAMED(UPSModeL), VELT_NAMED(NominalBatteryVoltageE), VELT_NAMED(FullBatteryVoltageE),
    VELT_NAMED(FullBatteryVoltageUD), VELT_NAMED(EmptyBatteryVoltageE), VELT_NAMED(EmptyBatteryVoltageUD),
    VELT_NAMED(BatteryChargeL), VELT_NAMED(BatteryChargeRL), VELT_NAMED(RuntimeL), VELT_NAMED(PowerWattsL),

    VELT_NAMED(RefreshE), VELT_NAMED(RefreshUD), VELT_NAMED(SettingsGB), VELT_NAMED(AutoRunCB),
    VELT_NAMED(ForceSuspendCB), VELT_NAMED(ForceShutdownCB), VELT_NAMED(BalloonCB), VELT_NAMED(PowerFailGB),
    VELT_NAMED(DelayCB), VELT_NAMED(DelayE), VELT_NAMED(DelayUD), VELT_NAMED(MinVoltageCB),
    VELT_NAMED(MinVoltageE), VELT_NAMED(MinVoltageUD), VELT_NAMED(ActionGB), VELT_NAMED(ShutdownRB),
    VELT_NAMED(SleepRB), VELT_NAMED(HibernateRB), VELT_NAMED(NothingRB), VELT_NAMED(UPSShutdownCB),
    VELT_NAMED(UPSShutdownE), VELT_NAMED(UPSShutdownUD), VELT_NAMED(UPSShutdownUL), VELT_NAMED(ExCB),
    VELT_NAMED(ExSB), VELT_NAMED(ExL), VELT_NAMED(AboutGB), VELT_NAMED(LogoI), VELT_NAMED(ProgNameL),
    VELT_NAMED(VersionL), VELT_NAMED(OSL), VELT_NAMED(HomeL), VELT_NAMED(MailL), VELT_NAMED(DonateI),
    VELT_NAMED(SMTPHostE), VELT_NAMED(SMTPPortE), VELT_NAMED(SMTPLoginE), VELT_NAMED(SMTPPswE),
    VELT_NAMED(SMTPAuthCB), VELT_NAMED(SMTPFromE), VELT_NAMED(SMTPMailE), VELT_NAMED(SMTPReportsCB),
    VELT_NAMED(SMTPWarningsCB), VELT_NAMED(SMTPDelayE), VELT_NAMED(SMTPDelayUD), VELT_NAMED(SendSMTPRepSB),
    VELT_NAMED(HTTPCB),
    VELT_NAMED(HTTPPortE), VELT_NAMED(HTTPAuthCB), VELT_NAMED(HTTPUserE), VELT_NAMED(HTTPPasswordE),
    VELT_NAMED(LANServerNameE), VELT_NAMED(LANReportsCB), VELT_NAMED(LANWarningsCB), VELT_NAMED(LANDelayE),
    VELT_NAMED(LANDelayUD), VELT_NAMED(LANRepSB), VELT_NAMED(NUTTS), VELT_NAMED(SMTPSecurityLB),
    VELT_NAMED(NUTCB), VELT_NAMED(NUTPortE), VELT_NAMED(NUTUPSNameE), VELT_NAMED(NUTUserE),
    VELT_NAMED(NUTPasswordE), VELT_NAMED(NUTHostsE), VELT_NAMED(NUTWaitE), VELT_NAMED(NUTWaitUD),
    VELT_NAMED(NUTCommandsCB),
    VELT_NAMED(PushTS), VELT_NAMED(WebhookURLE), VELT_NAMED(WebhookHeaderE), VELT_NAMED(WebhookWarningsCB),
    VELT_NAMED(WebhookReportsCB), VELT_NAMED(WebhookTestSB), VELT_NAMED(NtfyURLE), VELT_NAMED(NtfyTokenE),
    VELT_NAMED(NtfyWarningsCB), VELT_NAMED(NtfyTestSB),

    VELT_NAMED(UPSGB), VELT_NAMED(VIDNL), VELT_NAMED(VIDE), VELT_NAMED(PIDNL), VELT_NAMED(PIDE),
    VELT_NAMED(ProductNameNL), VELT_NAMED(ProductNameE), VELT_NAMED(MfrNL), VELT_NAMED(MfrE),
    VELT_NAMED(ModelNL), VELT_NAMED(ModelE), VELT_NAMED(VerNL), VELT_NAMED(VerE),
    VELT_NAMED(SupportedCommandsGB), VELT_NAMED(Q1_L), VELT_NAMED(QS_L), VELT_NAMED(F_L), VELT_NAMED(I_L),
    VELT_NAMED(Q1_CB), VELT_NAMED(QS_CB), VELT_NAMED(F_CB), VELT_NAMED(I_CB), VELT_NAMED(ConnectionGB),
    VELT_NAMED(ConnI), VELT_NAMED(USBL), VELT_NAMED(COML), VELT_NAMED(USBLB),
    VELT_NAMED(UPSSourceLB), VELT_NAMED(NetL), VELT_NAMED(RemoteHostE), VELT_NAMED(RemotePortE),
    VELT_NAMED(RemoteUPSE), VELT_NAMED(RemoteUserE), VELT_NAMED(RemotePasswordE), VELT_NAMED(RemoteDeadTimeE),
    VELT_NAMED(RemoteDeadTimeUD),

    VELT_NAMED(COMPortCB), VELT_NAMED(COMPortSB), VELT_NAMED(CancelSB), VELT_NAMED(DTRCB), VELT_NAMED(RTSCB),
    VELT_NAMED(COMPortL), VELT_NAMED(COMPortI),

    VELT_NAMED(TestTE), VELT_NAMED(TestTUD), {"TestTForm.TestTSB", IDC_TestTOkSB},
    {"TestTForm.CancelSB", IDC_TestTCancelSB},

    VELT_NAMED(BatteryVoltE), VELT_NAMED(BatteryVoltUD), VELT_NAMED(BatteryVoltSB),

    VELT_NAMED(HistoryTS), VELT_NAMED(HistorySpanLB), VELT_NAMED(HistoryExportSB), VELT_NAMED(HistoryChart),
    VELT_NAMED(OutageLV),
};

#undef VELT_NAMED

}  // namespace velt::ui
