// What the form's logic shows or asks of the main window. The data stream
// and the log change with every reply and go through the deferred writes;
// the rest changes rarely and goes to the controls at once.
#include "ui/win32/main_window.h"

#include <commctrl.h>

#include "ui/control_ids.h"
#include "ui/win32/file_dialogs.h"
#include "ui/win32/string_resources.h"

namespace velt::ui {

namespace {

constexpr struct {
    UPSTestButton button;
    int id;
} kTestButtons[] = {
    {UPSTestButton::Test10s, IDC_Test10sSB},       {UPSTestButton::TestT, IDC_TestTSB},
    {UPSTestButton::TestLow, IDC_TestLowSB},       {UPSTestButton::CancelTest, IDC_CancelTestSB},
    {UPSTestButton::Beeper, IDC_UPSBeeperSB},
};

// Each answer drives a toolbar button and its radio button.
constexpr struct {
    std::optional<bool> PowerActionAvailability::*answer;
    int button, radio;
} kPowerControls[] = {
    {&PowerActionAvailability::sleep, IDC_SleepSB, IDC_SleepRB},
    {&PowerActionAvailability::hibernate, IDC_HibernateSB, IDC_HibernateRB},
    {&PowerActionAvailability::shutdown, IDC_ShutdownSB, IDC_ShutdownRB},
};

}  // namespace

// ---- IMainView

void MainWindow::SetReportString(const std::string& text) { deferred_.WriteText(IDC_ReportStringE, text); }
void MainWindow::SetTimeText(const std::string& text) { deferred_.WriteText(IDC_TimeL, text); }
void MainWindow::SetSpinner(const std::string& glyph) { deferred_.WriteText(IDC_ProgressL, glyph); }
void MainWindow::AppendLogLine(const std::string& line) { deferred_.AppendLines(IDC_LogM, {line}); }
void MainWindow::ClearLog() { deferred_.ClearLines(IDC_LogM); }
void MainWindow::SetStartEnabled(bool enabled) { controls_.Enable(IDC_StartSB, enabled); }
void MainWindow::SetStopEnabled(bool enabled) { controls_.Enable(IDC_StopSB, enabled); }

// The settings controls are bound to the form's live settings, the ones passed.
void MainWindow::ShowSettings(const TUPSSettings&) {
    if (settings_) settings_->Show(form_ && form_->PageServer().Active(), form_ && form_->NutServer().Active());
    ShowBatteryThresholds();
}

// The battery up-downs show the logic's ranges and positions.
void MainWindow::ShowBatteryThresholds() {
    if (!form_) return;
    for (const auto which : {BatteryUpDown::Empty, BatteryUpDown::Full, BatteryUpDown::Min}) {
        const UpDownModel m = form_->Battery().UpDown(which);
        battery_->SetThresholdUpDown(which, m);
        battery_->SetThresholdText(which, TenthsText(m.position, seams_->decimalSeparator));
    }
}

void MainWindow::ApplyPowerAvailability(const PowerActionAvailability& availability) {
    for (const auto& c : kPowerControls) {
        const std::optional<bool>& answer = availability.*c.answer;
        if (!answer) continue;
        controls_.Enable(c.button, *answer);
        controls_.Enable(c.radio, *answer);
    }
}

void MainWindow::SetForceOptionsEnabled(bool enabled) {
    controls_.Enable(IDC_ForceSuspendCB, enabled);
    controls_.Enable(IDC_ForceShutdownCB, enabled);
}

void MainWindow::ShowExternalProgram(const ExternalProgramLabel& label) {
    controls_.SetText(IDC_ExL, label.caption);
    controls_.SetHint(IDC_ExL, label.hint);
}

void MainWindow::ShowAbout(const std::string& osLabel, const std::string& fileVersion) {
    controls_.SetText(IDC_OSL, osLabel);
    controls_.SetText(IDC_VersionL, fileVersion);
}

void MainWindow::ShowAboutBox() {
    ::MessageBoxA(hwnd_, LoadText(inst_, IDS_AboutText).c_str(), LoadText(inst_, IDS_AboutTitle).c_str(),
                  MB_OK | MB_ICONINFORMATION);
}

std::optional<std::string> MainWindow::AskSaveLogPath(const std::string& proposedName) {
    return AskSaveLogFile(hwnd_, inst_, proposedName);
}

std::optional<std::string> MainWindow::AskExternalProgram() { return AskProgramFile(hwnd_, inst_); }

void MainWindow::SetHttpPortEditable(bool editable) { controls_.Enable(IDC_HTTPPortE, editable); }
void MainWindow::SetNutPortEditable(bool editable) { controls_.Enable(IDC_NUTPortE, editable); }

void MainWindow::SetHttpCredentialsEditable(bool editable) {
    controls_.Enable(IDC_HTTPUserE, editable);
    controls_.Enable(IDC_HTTPPasswordE, editable);
}

void MainWindow::ShowError(const std::string& message) {
    ::MessageBoxA(hwnd_, message.c_str(), LoadText(inst_, IDS_AppName).c_str(), MB_OK | MB_ICONERROR);
}

// ---- IFeedback, IUPSTestView

void MainWindow::SetStatusText(const std::string& text) {
    ::SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::ShowAlertsWaiting(int64_t count) {
    alertsWaiting_ = AlertsWaitingText(count);
    LayoutStatusParts();
    if (tray_) tray_->SetTipNote(alertsWaiting_);
}

// Set at once where the pointer is; WM_SETCURSOR keeps it while it moves.
void MainWindow::SetBusyCursor(bool busy) {
    busy_ = busy;
    POINT at{};
    if (::GetCursorPos(&at) && ::WindowFromPoint(at) && ::GetAncestor(::WindowFromPoint(at), GA_ROOT) == hwnd_)
        ::SetCursor(::LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::AddSendLogLine(const std::string& line) {
    RunForm([&line](TMainForm& f) { f.AddLogLine(line); });
}

void MainWindow::ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) {
    if (tray_) tray_->ShowBalloon(title, text, kind);
}

void MainWindow::DisableUPSTestButton(UPSTestButton button) { SetUPSTestButtonEnabled(button, false); }

void MainWindow::SetUPSTestButtonEnabled(UPSTestButton button, bool enabled) {
    for (const auto& b : kTestButtons)
        if (b.button == button) controls_.Enable(b.id, enabled);
}

}  // namespace velt::ui
