// The main window's messages: which handler of the form each one runs.
#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <dbt.h>

#include "ui/control_ids.h"
#include "ui/win32/engine_timers.h"
#include "ui/win32/string_resources.h"
#include "ui/win32/window_messages.h"

namespace velt::ui {

namespace {

// The buttons whose click is one handler of the form, without arguments.
struct FormButton {
    int id;
    void (*run)(TMainForm&);
};

constexpr FormButton kFormButtons[] = {
    {IDC_StartSB, [](TMainForm& f) { f.StartAExecute(); }},
    {IDC_StopSB, [](TMainForm& f) { f.StopAExecute(); }},
    {IDC_UPSBeeperSB, [](TMainForm& f) { f.UPSTests().UPSBeeperSBClick(); }},
    {IDC_Test10sSB, [](TMainForm& f) { f.UPSTests().Test10sSBClick(); }},
    {IDC_TestTSB, [](TMainForm& f) { f.UPSTests().TestTSBClick(); }},
    {IDC_TestLowSB, [](TMainForm& f) { f.UPSTests().TestLowSBClick(); }},
    {IDC_CancelTestSB, [](TMainForm& f) { f.UPSTests().CancelTestSBClick(); }},
    {IDC_SleepSB, [](TMainForm& f) { f.PowerActions().SuspendComputer(); }},
    {IDC_HibernateSB, [](TMainForm& f) { f.PowerActions().HibernateComputer(); }},
    {IDC_ShutdownSB, [](TMainForm& f) { f.PowerActions().ShutdownComputer(); }},
    {IDC_SaveSetSB, [](TMainForm& f) { f.SaveSetSBClick(); }},
    {IDC_ExitSB, [](TMainForm& f) { f.ExitAExecute(); }},
    {IDC_ClearLogSB, [](TMainForm& f) { f.ClearLogSBClick(); }},
    {IDC_SaveLogSB, [](TMainForm& f) { f.SaveLogSBClick(); }},
    {IDC_ExSB, [](TMainForm& f) { f.ExSBClick(); }},
    {IDC_SendSMTPRepSB, [](TMainForm& f) { f.SendSMTPRepSBClick(); }},
    {IDC_LANRepSB, [](TMainForm& f) { f.LANRepSBClick(); }},
    {IDC_WebhookTestSB, [](TMainForm& f) { f.WebhookTestSBClick(); }},
    {IDC_NtfyTestSB, [](TMainForm& f) { f.NtfyTestSBClick(); }},
};

}  // namespace

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    return self->HandleMessage(msg, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (const auto r = OnFormMessage(msg, wParam, lParam)) return *r;
    if (const auto r = OnWindowMessage(msg, wParam, lParam)) return *r;
    if (const auto r = OnSessionMessage(msg, wParam, lParam)) return *r;
    if (tray_ && msg == tray_->TaskbarCreatedMessage()) {
        tray_->Readd();
        return 0;
    }
    return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
}

// The controls' events, the timers and the worker's hand-off.
std::optional<LRESULT> MainWindow::OnFormMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_VSCROLL: OnVScroll(LOWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
        case WM_TIMER: OnTimer(wParam); return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), wParam, lParam);
        case kWorkerMessage: OnWorkerMessage(static_cast<unsigned>(wParam)); return 0;
        case kTaskMessage:
            if (seams_) seams_->tasks.RunPending();
            return 0;
        case WM_SETCURSOR:
            // The hourglass over the whole window while a report is being sent.
            if (!busy_) return std::nullopt;
            ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        default: return std::nullopt;
    }
}

// The window's own life: creation, size, showing, closing.
std::optional<LRESULT> MainWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: return OnCreate() ? 0 : -1;
        case kTrayMessage: OnTrayEvent(lParam); return 0;
        case WM_SIZE: OnSize(wParam); return 0;
        case WM_SHOWWINDOW: OnShowWindow(wParam != FALSE); return std::nullopt;
        case WM_DPICHANGED: OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_CLOSE: OnClose(); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return 0;
        default: return std::nullopt;
    }
}

// What the system tells every top window: the session, power and devices.
std::optional<LRESULT> MainWindow::OnSessionMessage(UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_QUERYENDSESSION: return OnQueryEndSession();
        case WM_ENDSESSION: OnEndSession(wParam != FALSE); return 0;
        case WM_POWERBROADCAST: OnPowerBroadcast(wParam); return std::nullopt;
        case WM_DEVICECHANGE: OnDeviceChange(wParam); return TRUE;
        default: return std::nullopt;
    }
}

void MainWindow::OnCommand(int id, int code) {
    if (code == BN_CLICKED) {
        for (const auto& b : kFormButtons)
            if (b.id == id) return RunForm(b.run);
        // The save dialog pumps messages: a close meanwhile waits for it.
        if (id == IDC_HistoryExportSB && historyPage_)
            return RunForm([this](TMainForm&) { historyPage_->ExportCsv(); });
    }
    if (historyPage_ && historyPage_->OnCommand(id, code)) return;
    if (code == STN_CLICKED && links_ && links_->OnClick(id, hwnd_)) return;
    if (!settings_) return;
    bool taken = false;
    if (code == BN_CLICKED) taken = settings_->OnEvent(id, ControlEvent::Clicked);
    if (code == EN_CHANGE) taken = settings_->OnEvent(id, ControlEvent::TextChanged);
    if (code == CBN_SELCHANGE) taken = settings_->OnEvent(id, ControlEvent::SelectionChanged);
    if (taken) RunForm([](TMainForm& f) { f.SettingsChanged(); });
}

void MainWindow::OnEffect(binding::Effect effect) {
    using binding::Effect;
    switch (effect) {
        case Effect::SMTPReports: RunForm([](TMainForm& f) { f.SMTPReportsCBClick(); }); break;
        case Effect::LANReports: RunForm([](TMainForm& f) { f.LANReportsCBClick(); }); break;
        case Effect::HTTPServer: RunForm([](TMainForm& f) { f.HTTPCBClick(); }); break;
        case Effect::HTTPAuth: RunForm([](TMainForm& f) { f.HTTPAuthCBClick(); }); break;
        case Effect::NUTServer: RunForm([](TMainForm& f) { f.NUTCBClick(); }); break;
        case Effect::RefreshInterval: RunForm([](TMainForm& f) { f.RefreshUDClick(); }); break;
        case Effect::SMTPDelay: RunForm([](TMainForm& f) { f.SMTPDelayUDClick(); }); break;
        case Effect::LANDelay: RunForm([](TMainForm& f) { f.LANDelayUDClick(); }); break;
        case Effect::NUTUPSNameRefused: ShowError(LoadText(inst_, IDS_NUTUPSNameRefused)); break;
        case Effect::UPSSource: RunForm([](TMainForm& f) { f.UPSSourceChanged(); }); break;
        case Effect::None: break;
    }
}

LRESULT MainWindow::OnNotify(const NMHDR& hdr) {
    if (hdr.code != TCN_SELCHANGE) return 0;
    const int index = static_cast<int>(::SendMessageA(hdr.hwndFrom, TCM_GETCURSEL, 0, 0));
    if (hdr.hwndFrom == controls_.Tabs()) {
        controls_.ShowPage(index);
        SyncHistoryInView(::IsWindowVisible(hwnd_) != FALSE);
    }
    if (hdr.hwndFrom == controls_.RepTabs()) controls_.ShowRepPage(index);
    return 0;
}

// An up-down reports each arrow click with the position already moved.
void MainWindow::OnVScroll(int code, HWND from) {
    if (code != SB_THUMBPOSITION || !from || !settings_) return;
    const int id = ::GetDlgCtrlID(from);
    if (settings_->OnUpDownScroll(id))
        RunForm([](TMainForm& f) { f.SettingsChanged(); });
    else
        battery_->OnUpDownScroll(id);
}

// A tick queued before its timer was stopped is dropped.
void MainWindow::OnTimer(UINT_PTR id) {
    if (id == kServiceLogTimerId) return ShowServiceLog();
    if (id == kHistoryTimerId) {
        if (historyPage_) historyPage_->OnTimer();
        return;
    }
    if (seams_) RunForm([this, id](TMainForm& f) { RunEngineTimer(*seams_, f.Engine(), id); });
}

void MainWindow::ShowServiceLog() {
    if (!serviceLog_ || !form_) return;
    for (const std::string& line : serviceLog_->NewLines()) form_->Engine().ShowServiceLogLine(line);
}

LRESULT MainWindow::OnCtlColorStatic(HWND control, HDC dc, WPARAM wParam, LPARAM lParam) {
    if (links_)
        if (HBRUSH brush = links_->OnColor(control, dc)) return reinterpret_cast<LRESULT>(brush);
    return ::DefWindowProcA(hwnd_, WM_CTLCOLORSTATIC, wParam, lParam);
}

// While closing, the worker is being stopped: its last reply is not shown.
void MainWindow::OnWorkerMessage(unsigned wParam) {
    RunForm([wParam](TMainForm& f) { f.OnWorkerMessage(static_cast<WorkerMessage>(wParam)); });
}

void MainWindow::OnPowerBroadcast(WPARAM event) {
    RunForm([event](TMainForm& f) { f.PowerActions().WMPowerBroadcast(event); });
}

void MainWindow::OnDeviceChange(WPARAM event) {
    if (event == DBT_DEVNODES_CHANGED && seams_) RunForm([this](TMainForm&) { seams_->hid.Refresh(); });
}

}  // namespace velt::ui
