#include "ui/win32/main_window.h"

#include "ui/dpi_scale.h"
#include "ui/main_layout.h"
#include "ui/resource.h"
#include "sys/win32/service_state.h"
#include "ui/win32/service_host.h"
#include "ui/win32/history_chart_view.h"
#include "ui/win32/led_bar.h"
#include "ui/win32/page_panel.h"
#include "ui/win32/string_resources.h"
#include "ui/win32/window_class.h"
#include "ui/win32/window_dpi.h"
#include "ui/win32/window_messages.h"

namespace velt::ui {

namespace {

// Registry strings the settings store writes whole; longer ones make no sense.
constexpr WPARAM kSettingTextLimit = 255;
constexpr UINT kServiceLogTickMs = 1000;

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

}  // namespace

MainWindow::MainWindow(HINSTANCE inst, AppMutexes& mutexes)
    : inst_(inst), mutexes_(mutexes), portDialog_(inst), testTForm_(inst), batteryVoltForm_(inst) {}

MainWindow::~MainWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
    form_.reset();  // joins a worker still running before the seams go
}

// The start-up fills the controls while the window is hidden; the first show
// paints what it left.
bool MainWindow::Create(const std::vector<std::string>& params, bool show) {
    if (!RegisterMainClass(inst_, &MainWindow::WindowProc) || !RegisterPagePanelClass(inst_) ||
        !RegisterLedBarClass(inst_) || !RegisterHistoryChartClass(inst_))
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
        SyncShown();
        ::UpdateWindow(hwnd_);
    }
    return true;
}

bool MainWindow::OnCreate() {
    for (ModalDialog* d : {static_cast<ModalDialog*>(&portDialog_), static_cast<ModalDialog*>(&testTForm_),
                           static_cast<ModalDialog*>(&batteryVoltForm_)})
        d->SetOwner(hwnd_);
    const int dpi = WindowDpi(hwnd_);
    PlaceCentred(dpi);
    SetWindowIcons(dpi);
    CreateStatusBar(dpi);
    if (!status_ || !controls_.Build(hwnd_, inst_, dpi, TabsBottom(dpi))) return false;
    controls_.ShowPage(layout::kOpeningPage);
    CreateViews();
    // No limit on the log's length: it keeps every line until cleared.
    ::SendMessageA(controls_.Get(IDC_LogM), EM_SETLIMITTEXT, 0, 0);
    SetNarrowMargins();
    SetStopEnabled(false);
    // With the service running, the window watches it and never opens the port.
    const bool watchService = win::ServiceRunning(kServiceName);
    seams_ = std::make_unique<SystemSeams>(hwnd_, HidListener(), *this,
                                           watchService ? SeamsFor::ServiceView : SeamsFor::Window);
    CreateHistoryPage();
    if (watchService) {
        serviceLog_ = std::make_unique<ServiceLogView>();
        ::SetTimer(hwnd_, kServiceLogTimerId, kServiceLogTickMs, nullptr);
    }
    return true;
}

// The pages' views over the controls just built.
void MainWindow::CreateViews() {
    tray_ = std::make_unique<TrayIcon>(hwnd_, inst_, kTrayMessage);
    statusPage_ = std::make_unique<StatusPage>(deferred_, *tray_);
    infoPage_ = std::make_unique<InfoPage>(controls_, inst_);
    battery_ = std::make_unique<BatteryControls>(controls_, deferred_, batteryVoltForm_,
                                                 [this] { return form_ ? &form_->Battery() : nullptr; });
    battery_->Attach();
    links_ = std::make_unique<LinkLabels>(controls_);
    links_->Attach();
}

// The window keeps its own history; a window watching the service reads the same file.
void MainWindow::CreateHistoryPage() {
    historyPage_ = std::make_unique<HistoryPage>(
        controls_, inst_,
        HistoryPageSeams{hwnd_, seams_->tasks, seams_->files, [this](const std::string& m) { ShowError(m); }},
        seams_->HistoryFile());
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

}  // namespace velt::ui
