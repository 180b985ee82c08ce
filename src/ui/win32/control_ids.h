#pragma once
// Control ids of the main window and its dialogs, with the names the UI probe
// uses to find them. Ids are unique across all windows of the program, so a name
// alone finds a control wherever it is. Plain C++: the probe includes it too.

namespace velt::ui {

inline constexpr const char* kMainWindowClass = "VeltranoMainForm";
inline constexpr const char* kMainWindowCaption = "Veltrano";
inline constexpr const char* kComPortDialogCaption = "COM Port";

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

    // UPS Status page
    IDC_ReportStringE = 1200,
    IDC_TimeL,
    IDC_ProgressL,
    IDC_LogM,
    IDC_ClearLogSB,
    IDC_SaveLogSB,
    IDC_LogGB,

    // Settings page
    IDC_RefreshE = 1300,
    IDC_RefreshUD,
    IDC_SettingsGB,

    // COM Port dialog
    IDC_COMPortCB = 1400,
    IDC_COMPortSB,
    IDC_CancelSB,
    IDC_DTRCB,
    IDC_RTSCB,
    IDC_COMPortL,
    IDC_COMPortI,
};

struct NamedControl {
    const char* name;
    int id;
};

inline constexpr NamedControl kNamedControls[] = {
    {"StartSB", IDC_StartSB},
    {"StopSB", IDC_StopSB},
    {"UPSBeeperSB", IDC_UPSBeeperSB},
    {"Test10sSB", IDC_Test10sSB},
    {"TestTSB", IDC_TestTSB},
    {"TestLowSB", IDC_TestLowSB},
    {"CancelTestSB", IDC_CancelTestSB},
    {"SleepSB", IDC_SleepSB},
    {"HibernateSB", IDC_HibernateSB},
    {"ShutdownSB", IDC_ShutdownSB},
    {"SaveSetSB", IDC_SaveSetSB},
    {"SpeedButton3", IDC_ExitSB},
    {"StatusBar", IDC_StatusBar},
    {"PC", IDC_PC},
    {"InfoTS", IDC_InfoTS},
    {"StatusTS", IDC_StatusTS},
    {"AboutTS", IDC_AboutTS},
    {"ReportStringE", IDC_ReportStringE},
    {"TimeL", IDC_TimeL},
    {"ProgressL", IDC_ProgressL},
    {"LogM", IDC_LogM},
    {"ClearLogSB", IDC_ClearLogSB},
    {"SaveLogSB", IDC_SaveLogSB},
    {"LogGB", IDC_LogGB},
    {"RefreshE", IDC_RefreshE},
    {"RefreshUD", IDC_RefreshUD},
    {"SettingsGB", IDC_SettingsGB},
    {"COMPortCB", IDC_COMPortCB},
    {"COMPortSB", IDC_COMPortSB},
    {"CancelSB", IDC_CancelSB},
    {"DTRCB", IDC_DTRCB},
    {"RTSCB", IDC_RTSCB},
    {"COMPortL", IDC_COMPortL},
    {"COMPortI", IDC_COMPortI},
};

}  // namespace velt::ui
