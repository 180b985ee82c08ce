#include "ui/win32/main_window.h"

#include "sys/win32/loaded_module.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dbt.h>

#include <cstring>

#include "ui/control_ids.h"
#include "ui/dpi_scale.h"
#include "ui/main_layout.h"
#include "ui/resource.h"
#include "ui/win32/controls.h"
#include "ui/win32/led_bar.h"
#include "ui/win32/page_panel.h"
#include "ui/win32/string_resources.h"
#include "ui/win32/window_class.h"
#include "ui/win32/window_dpi.h"
#include "ui/win32/window_messages.h"

namespace velt::ui {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Registry strings the settings store writes whole; longer ones make no sense.
constexpr WPARAM kSettingTextLimit = 255;

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
};

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

SIZE WindowSizeAt(int dpi) {
    return WindowSizeForClient(ScaleToDpi(layout::kClientWidth, dpi), ScaleToDpi(layout::kClientHeight, dpi),
                               kWindowStyle, dpi);
}

// Centred on the (primary) screen, taskbar or not.
RECT CentredWindowRect(int dpi) {
    const SIZE size = WindowSizeAt(dpi);
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    return {x, y, x + size.cx, y + size.cy};
}

// The class's icons at the system's sizes; each window sets its own for its DPI.
HICON AppIcon(HINSTANCE inst, int metric) {
    const int size = ::GetSystemMetrics(metric);
    return static_cast<HICON>(::LoadImageA(inst, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, LR_SHARED));
}

bool RegisterMainClass(HINSTANCE inst, WNDPROC proc) {
    return RegisterWindowClass({.name = kMainWindowClass, .proc = proc, .instance = inst,
                                .background = COLOR_BTNFACE, .icon = AppIcon(inst, SM_CXICON),
                                .smallIcon = AppIcon(inst, SM_CXSMICON)});
}

std::optional<std::string> AskFile(OPENFILENAMEA& ofn, char (&file)[MAX_PATH], bool save) {
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.nFilterIndex = 1;
    // Loaded only while a file dialog is up: the library pulls in the printing
    // stack, which would otherwise sit in memory for the whole run.
    using FileDialog = BOOL(WINAPI*)(LPOPENFILENAMEA);
    const win::LoadedModule dialogs("comdlg32.dll");
    const auto show = dialogs.Find<FileDialog>(save ? "GetSaveFileNameA" : "GetOpenFileNameA");
    if (!show || !show(&ofn)) return std::nullopt;
    return std::string(file);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE inst, AppMutexes& mutexes)
    : inst_(inst), mutexes_(mutexes), portDialog_(inst), testTForm_(inst), batteryVoltForm_(inst) {}

MainWindow::~MainWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
    form_.reset();  // joins a worker still running before the seams go
}

// ---- creation

bool MainWindow::Create(const std::vector<std::string>& params, bool show) {
    if (!RegisterMainClass(inst_, &MainWindow::WindowProc) || !RegisterPagePanelClass(inst_) ||
        !RegisterLedBarClass(inst_))
        return false;
    // Placed in WM_CREATE, once the window knows the DPI of its monitor.
    const SIZE size = WindowSizeAt(kLayoutDpi);
    const std::string caption = LoadText(inst_, IDS_AppName);
    if (!::CreateWindowExA(0, kMainWindowClass, caption.c_str(), kWindowStyle, 0, 0, size.cx, size.cy, nullptr,
                           nullptr, inst_, this))
        return false;
    if (!CreateForm(params)) {
        ::DestroyWindow(hwnd_);
        return false;
    }
    if (show) {
        ::ShowWindow(hwnd_, SW_SHOWNORMAL);
        ::UpdateWindow(hwnd_);
    }
    return true;
}

bool MainWindow::OnCreate() {
    for (ModalDialog* d : {static_cast<ModalDialog*>(&portDialog_), static_cast<ModalDialog*>(&testTForm_),
                           static_cast<ModalDialog*>(&batteryVoltForm_)})
        d->SetOwner(hwnd_);
    const int dpi = WindowDpi(hwnd_);
    const RECT r = CentredWindowRect(dpi);
    ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowIcons(dpi);
    CreateStatusBar(dpi);
    if (!status_ || !controls_.Build(hwnd_, inst_, dpi, TabsBottom(dpi))) return false;
    controls_.ShowPage(layout::kOpeningPage);
    tray_ = std::make_unique<TrayIcon>(hwnd_, inst_, kTrayMessage);
    statusPage_ = std::make_unique<StatusPage>(controls_, *tray_);
    infoPage_ = std::make_unique<InfoPage>(controls_, inst_);
    battery_ = std::make_unique<BatteryControls>(controls_, batteryVoltForm_,
                                                 [this] { return form_ ? &form_->Battery() : nullptr; });
    battery_->Attach();
    links_ = std::make_unique<LinkLabels>(controls_);
    links_->Attach();
    // No limit on the log's length: it keeps every line until cleared.
    ::SendMessageA(controls_.Get(IDC_LogM), EM_SETLIMITTEXT, 0, 0);
    SetNarrowMargins();
    SetStopEnabled(false);
    seams_ = std::make_unique<SystemSeams>(hwnd_, HidListener(), *this);
    return true;
}

win::HidControllerListener MainWindow::HidListener() {
    return {
        [this](IHidDevice& d) { if (form_) form_->HidDiscovery().HIDArrival(d); },
        [this](IHidDevice& d) { if (form_) form_->HidDiscovery().HIDRemoval(d); },
        [this] { if (form_) form_->HidDiscovery().HIDDeviceChange(); },
    };
}

// The first HID refresh comes after FormCreate, while StartTimer is enabled:
// devices present now are only logged, and the start finds them.
bool MainWindow::CreateForm(const std::vector<std::string>& params) {
    form_ = std::make_unique<TMainForm>(
        MonitorViews{*this, *this, *infoPage_, *infoPage_, *statusPage_, *battery_, *this},
        seams_->FormSystem(mutexes_.data, portDialog_, testTForm_));
    BindSettings();
    bool started = false;
    RunForm([&started, &params](TMainForm& f) { started = f.FormCreate(params); });
    if (!started) return false;
    RunForm([this](TMainForm&) { seams_->hid.Refresh(); });
    return true;
}

void MainWindow::BindSettings() {
    settings_ =
        std::make_unique<SettingsControls>(controls_, form_->Live(), [this](binding::Effect e) { OnEffect(e); });
    settings_->SetUpRanges();
    for (const auto& b : binding::kTexts)
        ::SendMessageA(controls_.Get(b.id), EM_SETLIMITTEXT, kSettingTextLimit, 0);
}

// Narrow margins, so a whole 47-character status reply and the eight status
// bits fit in view.
void MainWindow::SetNarrowMargins() {
    const int margin = ScaleToDpi(1, controls_.Dpi());
    for (const int id : {static_cast<int>(IDC_ReportStringE), static_cast<int>(IDC_UPSStatusE)})
        ::SendMessageA(controls_.Get(id), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

// The caption's and the task switcher's pictures, drawn at the window's DPI.
void MainWindow::SetWindowIcons(int dpi) {
    win::Icon small = LoadProgramIcon(inst_, IDI_APP, ScaleToDpi(16, dpi));
    win::Icon big = LoadProgramIcon(inst_, IDI_APP, ScaleToDpi(32, dpi));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    smallIcon_ = std::move(small);
    bigIcon_ = std::move(big);
}

// One part spanning the width, so WM_GETTEXT gives the message.
void MainWindow::CreateStatusBar(int dpi) {
    status_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_StatusBar)), inst_, nullptr);
    if (!status_) return;
    int right[1] = {-1};
    ::SendMessageA(status_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(right));
    SetStatusBarFont(dpi);
}

// The bar takes its height from its font and its place from the window.
void MainWindow::SetStatusBarFont(int dpi) {
    win::GdiObject font = CreateDialogFont(dpi);
    ::SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    statusFont_ = std::move(font);
    ::SendMessageA(status_, WM_SIZE, 0, 0);
}

// The page control reaches down to a gap above the status bar.
int MainWindow::TabsBottom(int dpi) const {
    RECT r{};
    ::GetWindowRect(status_, &r);
    return ScaleToDpi(layout::kClientHeight, dpi) - (r.bottom - r.top) - ScaleToDpi(layout::kTabsBottomGap, dpi);
}

// Moved to a monitor of another DPI (PerMonitor awareness): the window takes
// the place the system suggests, and everything in it is laid out again.
// Without a suggestion it keeps its top left corner.
void MainWindow::OnDpiChanged(int dpi, const RECT* suggested) {
    RECT r{};
    if (suggested) {
        r = *suggested;
    } else {
        ::GetWindowRect(hwnd_, &r);
        const SIZE size = WindowSizeAt(dpi);
        r.right = r.left + size.cx;
        r.bottom = r.top + size.cy;
    }
    ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowIcons(dpi);
    SetStatusBarFont(dpi);
    controls_.Rescale(dpi, TabsBottom(dpi));
    SetNarrowMargins();
    if (links_) links_->Attach();  // its underlined font follows the labels' new one
    if (infoPage_) infoPage_->Rescale();
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

// ---- message dispatch

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
    switch (msg) {
        case WM_CREATE: return OnCreate() ? 0 : -1;
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
            if (busy_) {
                ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
                return TRUE;
            }
            return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
        case kTrayMessage: OnTrayEvent(lParam); return 0;
        case WM_SIZE: OnSize(wParam); return 0;
        case WM_DPICHANGED: OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_CLOSE: OnClose(); return 0;
        case WM_QUERYENDSESSION: return OnQueryEndSession();
        case WM_ENDSESSION: OnEndSession(wParam != FALSE); return 0;
        case WM_POWERBROADCAST:
            OnPowerBroadcast(wParam);
            return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
        case WM_DEVICECHANGE: OnDeviceChange(wParam); return TRUE;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return 0;
        default:
            if (tray_ && msg == tray_->TaskbarCreatedMessage()) {
                tray_->Readd();
                return 0;
            }
            return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
    }
}

template <typename F>
void MainWindow::RunForm(F&& handler) {
    if (!form_ || !gate_.BeginHandler()) return;
    handler(*form_);
    if (gate_.EndHandler()) ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::OnCommand(int id, int code) {
    if (code == BN_CLICKED) {
        for (const auto& b : kFormButtons)
            if (b.id == id) return RunForm(b.run);
    }
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
        case Effect::None: break;
    }
}

LRESULT MainWindow::OnNotify(const NMHDR& hdr) {
    if (hdr.code != TCN_SELCHANGE) return 0;
    const int index = static_cast<int>(::SendMessageA(hdr.hwndFrom, TCM_GETCURSEL, 0, 0));
    if (hdr.hwndFrom == controls_.Tabs()) controls_.ShowPage(index);
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
    if (!seams_) return;
    if (id == kStartTimerId && seams_->startTimer.Enabled())
        RunForm([](TMainForm& f) { f.StartTimerTimer(); });
    if (id == kDelayTimerId && seams_->delayTimer.Enabled())
        RunForm([](TMainForm& f) { f.PowerFailPolicy().DelayTimerTimer(); });
    if (id == kSMTPReportsTimerId && seams_->smtpReportsTimer.Enabled())
        RunForm([](TMainForm& f) { f.SMTPReportsTimerTimer(); });
    if (id == kLANReportsTimerId && seams_->lanReportsTimer.Enabled())
        RunForm([](TMainForm& f) { f.LANReportsTimerTimer(); });
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

void MainWindow::OnTrayEvent(LPARAM lParam) {
    if (!tray_) return;
    switch (tray_->OnCallback(lParam)) {
        case TrayAction::Restore: Restore(); break;
        case TrayAction::OpenMenu: OnTrayMenu(tray_->ShowMenu()); break;
        case TrayAction::None: break;
    }
}

void MainWindow::OnTrayMenu(TrayMenuChoice choice) {
    switch (choice) {
        case TrayMenuChoice::Restore: Restore(); break;
        case TrayMenuChoice::Minimize: MinimizeToTray(); break;
        case TrayMenuChoice::Exit: RunForm([](TMainForm& f) { f.ExitAExecute(); }); break;
        case TrayMenuChoice::None: break;
    }
}

// Minimising hides the window and its taskbar button: only the icon stays.
void MainWindow::OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) ::ShowWindow(hwnd_, SW_HIDE);
}

// Show, restore from minimised, bring to the front: in this order.
void MainWindow::Restore() {
    ::ShowWindow(hwnd_, SW_SHOW);
    if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
    ::SetForegroundWindow(hwnd_);
}

// ---- closing

void MainWindow::OnClose() {
    if (!form_) {
        ::DestroyWindow(hwnd_);
        return;
    }
    if (gate_.Closing()) return;
    // A refused close has hidden the window into the tray.
    switch (gate_.OnClose(form_->FormCloseQuery())) {
        case CloseGate::Close::Deferred: CancelDialogs(); break;
        case CloseGate::Close::Now: CloseForGood(); break;
        case CloseGate::Close::Refused: break;
    }
}

// The modal dialogs a handler may be waiting in; each ends as its Cancel would.
void MainWindow::CancelDialogs() {
    portDialog_.Cancel();
    testTForm_.Cancel();
    batteryVoltForm_.Cancel();
}

// FormClose stops the timers and the worker (bounded), lowers DTR, closes the
// port and saves; then the mutexes and the optional libraries go. A worker
// that did not end cannot be joined: leave the process then rather than hang.
void MainWindow::CloseForGood() {
    form_->FormClose();
    if (!form_->Finished()) ::ExitProcess(1);
    mutexes_.Close();
    seams_->entryPoints.UnloadAll();
    ::DestroyWindow(hwnd_);
}

LRESULT MainWindow::OnQueryEndSession() { return form_ && !form_->WMQueryEndSession() ? FALSE : TRUE; }

// The query has set the exit-requested flag, so the close query allows it.
void MainWindow::OnEndSession(bool ending) {
    if (ending && form_ && !gate_.Closing()) OnClose();
}

void MainWindow::OnPowerBroadcast(WPARAM event) {
    RunForm([event](TMainForm& f) { f.PowerActions().WMPowerBroadcast(event); });
}

void MainWindow::OnDeviceChange(WPARAM event) {
    if (event == DBT_DEVNODES_CHANGED && seams_) RunForm([this](TMainForm&) { seams_->hid.Refresh(); });
}

void MainWindow::OnDestroy() {
    tray_.reset();  // the icon goes with the window, not after it
    ::PostQuitMessage(0);
}

// ---- IMainView

void MainWindow::SetReportString(const std::string& text) { controls_.SetText(IDC_ReportStringE, text); }
void MainWindow::SetTimeText(const std::string& text) { controls_.SetText(IDC_TimeL, text); }
void MainWindow::SetSpinner(const std::string& glyph) { controls_.SetText(IDC_ProgressL, glyph); }

void MainWindow::AppendLogLine(const std::string& line) {
    HWND memo = controls_.Get(IDC_LogM);
    const int len = ::GetWindowTextLengthA(memo);
    const std::string text = len > 0 ? "\r\n" + line : line;
    ::SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(len), len);
    ::SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(memo, EM_SCROLLCARET, 0, 0);
}

void MainWindow::ClearLog() { controls_.SetText(IDC_LogM, ""); }
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
    char file[MAX_PATH] = {};
    std::strncpy(file, proposedName.c_str(), MAX_PATH - 1);
    OPENFILENAMEA ofn{};
    ofn.hwndOwner = hwnd_;
    const std::string filter = LoadFilter(inst_, IDS_SaveLogFilter);
    const std::string title = LoadText(inst_, IDS_SaveLogTitle);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = "txt";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return AskFile(ofn, file, true);
}

std::optional<std::string> MainWindow::AskExternalProgram() {
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.hwndOwner = hwnd_;
    const std::string filter = LoadFilter(inst_, IDS_ProgramFilter);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrDefExt = "exe";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return AskFile(ofn, file, false);
}

void MainWindow::SetHttpPortEditable(bool editable) { controls_.Enable(IDC_HTTPPortE, editable); }

void MainWindow::SetNutPortEditable(bool editable) { controls_.Enable(IDC_NUTPortE, editable); }

void MainWindow::SetHttpCredentialsEditable(bool editable) {
    controls_.Enable(IDC_HTTPUserE, editable);
    controls_.Enable(IDC_HTTPPasswordE, editable);
}

void MainWindow::ShowError(const std::string& message) {
    ::MessageBoxA(hwnd_, message.c_str(), LoadText(inst_, IDS_AppName).c_str(), MB_OK | MB_ICONERROR);
}

// Posted: the close runs from the message loop, after the handler that asked.
void MainWindow::CloseWindow() { ::PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

void MainWindow::MinimizeToTray() { ::ShowWindow(hwnd_, SW_HIDE); }

// ---- IFeedback, IUPSTestView

void MainWindow::SetStatusText(const std::string& text) {
    ::SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
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

void MainWindow::DisableUPSTestButton(UPSTestButton button) {
    for (const auto& b : kTestButtons)
        if (b.button == button) controls_.Enable(b.id, false);
}

}  // namespace velt::ui
