#include "ui/win32/service_host.h"

#include <atomic>
#include <memory>
#include <optional>

#include "app/monitor_engine.h"
#include "app/service_control.h"
#include "app/service_dialogs.h"
#include "app/silent_views.h"
#include "sys/win32/critical_section_lock.h"
#include "sys/win32/win_clock.h"
#include "sys/win32/win_service_status.h"
#include "sys/win32/win_system_event_log.h"
#include "ui/win32/engine_timers.h"
#include "ui/win32/service_log.h"
#include "ui/win32/system_seams.h"
#include "ui/win32/window_messages.h"
#include "veltrano_events.h"

namespace velt::ui {

namespace {

// The service's own messages to its window.
constexpr UINT kStopMessage = WM_APP + 10;
constexpr UINT kReloadMessage = WM_APP + 11;
constexpr UINT kPowerMessage = WM_APP + 12;
constexpr UINT_PTR kTickTimerId = 100;
constexpr UINT kTickMs = 1000;
constexpr char kWindowClass[] = "VeltranoService";

// A service's send progress has no window to show it in; its log lines go
// to the log like the rest.
class LoggedSends final : public ISendProgressView {
public:
    void SetLog(ILogSink* log) { log_ = log; }
    void SetStatusText(const std::string&) override {}
    void SetBusyCursor(bool) override {}
    void AddSendLogLine(const std::string& line) override {
        if (log_) log_->AddLogLine(line);
    }

private:
    ILogSink* log_ = nullptr;
};

std::optional<ServiceControlRequest> RequestOf(DWORD control, DWORD eventType) {
    switch (control) {
        case SERVICE_CONTROL_STOP: return ServiceControlRequest{ServiceControlCode::Stop};
        case SERVICE_CONTROL_SHUTDOWN: return ServiceControlRequest{ServiceControlCode::Shutdown};
        case SERVICE_CONTROL_PRESHUTDOWN: return ServiceControlRequest{ServiceControlCode::Preshutdown};
        case SERVICE_CONTROL_INTERROGATE: return ServiceControlRequest{ServiceControlCode::Interrogate};
        case SERVICE_CONTROL_PARAMCHANGE: return ServiceControlRequest{ServiceControlCode::ParamChange};
        case SERVICE_CONTROL_POWEREVENT:
            return ServiceControlRequest{ServiceControlCode::PowerEvent, static_cast<PowerEventCode>(eventType)};
        default: return std::nullopt;
    }
}

// One run of the service, from ServiceMain to Stopped. The control handler
// runs on the dispatcher's thread and only posts to the window; everything
// else runs on the service's own thread, which owns the window.
class ServiceRun final : public IServiceHost {
public:
    explicit ServiceRun(HINSTANCE inst) : inst_(inst) {}

    void Main();

    // IServiceHost, on the dispatcher's thread.
    void BeginStop() override { ::PostMessageA(window_, kStopMessage, 0, 0); }
    void Reload() override { ::PostMessageA(window_, kReloadMessage, 0, 0); }
    void PowerEvent(PowerEventCode event) override {
        ::PostMessageA(window_, kPowerMessage, static_cast<WPARAM>(event), 0);
    }
    bool ActionUnderWay() const override { return acting_; }

    static DWORD WINAPI Handler(DWORD control, DWORD eventType, void*, void* context);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    bool CreateWindowOnly();
    bool StartMonitor();
    void RunLoop();
    void StopMonitor();
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    HINSTANCE inst_;
    HWND window_ = nullptr;
    win::WinClock clock_;
    std::unique_ptr<win::WinServiceStatus> status_;
    std::unique_ptr<ServiceControl> control_;
    std::atomic<bool> acting_{false};
    win::WinSystemEventLog events_{kServiceName, {VELT_EVENT_INFORMATION, VELT_EVENT_WARNING, VELT_EVENT_ERROR}};
    ServiceLog log_{events_};
    SilentViews views_{[this](const std::string& line) { log_.Append(line); },
                       [this](const std::string& text) {
                           if (engine_) engine_->AddLogLine(text);
                       }};
    ServiceComPortDialog portDialog_;
    ServiceTestTForm testTForm_;
    LoggedSends sends_;
    win::CriticalSectionLock lock_;
    std::unique_ptr<SystemSeams> seams_;
    std::unique_ptr<MonitorEngine> engine_;
};

ServiceRun* g_run = nullptr;  // ServiceMain has no context of its own

DWORD WINAPI ServiceRun::Handler(DWORD control, DWORD eventType, void*, void* context) {
    auto* run = static_cast<ServiceRun*>(context);
    const auto request = RequestOf(control, eventType);
    if (!request || !run->control_) return ERROR_CALL_NOT_IMPLEMENTED;
    return run->control_->Handle(*request) == ControlResult::NoError ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

LRESULT CALLBACK ServiceRun::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_run && g_run->window_ == hwnd) return g_run->OnMessage(msg, wParam, lParam);
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

void ServiceRun::Main() {
    status_ = std::make_unique<win::WinServiceStatus>(kServiceName, &Handler, this);
    if (!status_->Registered()) return;
    ServiceOptions options;
    options.acceptPreshutdown = true;
    control_ = std::make_unique<ServiceControl>(*status_, *this, clock_, options);
    if (!control_->BeginStart()) return;
    if (!CreateWindowOnly() || !StartMonitor()) {
        engine_.reset();
        seams_.reset();
        control_->Ended({ERROR_SERVICE_SPECIFIC_ERROR, 1});
        return;
    }
    control_->Started();
    RunLoop();
    StopMonitor();
    control_->Ended();
}

// A message-only window: the timers, the worker's hand-off and the senders'
// results need one, and nothing shows.
bool ServiceRun::CreateWindowOnly() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = inst_;
    wc.lpszClassName = kWindowClass;
    ::RegisterClassA(&wc);
    window_ = ::CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst_, nullptr);
    return window_ != nullptr;
}

bool ServiceRun::StartMonitor() {
    seams_ = std::make_unique<SystemSeams>(
        window_,
        win::HidControllerListener{[this](IHidDevice& d) { engine_->HidDiscovery().HIDArrival(d); },
                                   [this](IHidDevice& d) { engine_->HidDiscovery().HIDRemoval(d); },
                                   [this] { engine_->HidDiscovery().HIDDeviceChange(); }},
        sends_, SeamsFor::Service);
    MonitorSystem system = seams_->FormSystem(lock_, portDialog_, testTForm_);
    system.systemEvents = &events_;  // power failures and actions, for the administrator
    engine_ = std::make_unique<MonitorEngine>(views_.Views(), system);
    portDialog_.SetLog(engine_.get());
    sends_.SetLog(engine_.get());
    if (!engine_->Start({})) return false;
    portDialog_.SetStored(engine_->Link());
    seams_->hid.Refresh();
    ::SetTimer(window_, kTickTimerId, kTickMs, nullptr);
    return true;
}

void ServiceRun::RunLoop() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Polling ends, the servers close and the settings are saved, within the
// worker's bound; then the window goes.
void ServiceRun::StopMonitor() {
    ::KillTimer(window_, kTickTimerId);
    engine_->Close();
    engine_.reset();
    seams_.reset();
    ::DestroyWindow(window_);
    window_ = nullptr;
}

LRESULT ServiceRun::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!engine_) return ::DefWindowProcA(window_, msg, wParam, lParam);
    switch (msg) {
        case WM_TIMER:
            if (wParam == kTickTimerId) {
                acting_ = engine_->PowerFailPolicy().Acting();
                control_->Tick();
            } else {
                RunEngineTimer(*seams_, *engine_, wParam);
            }
            return 0;
        case kWorkerMessage: engine_->OnWorkerMessage(static_cast<WorkerMessage>(wParam)); return 0;
        case kTaskMessage: seams_->tasks.RunPending(); return 0;
        case kStopMessage: ::PostQuitMessage(0); return 0;
        case kReloadMessage: engine_->ReloadSettings(); return 0;
        case kPowerMessage: engine_->PowerActions().WMPowerBroadcast(wParam); return 0;
        default: return ::DefWindowProcA(window_, msg, wParam, lParam);
    }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    ServiceRun run(reinterpret_cast<HINSTANCE>(::GetModuleHandleA(nullptr)));
    g_run = &run;
    run.Main();
    g_run = nullptr;
}

}  // namespace

int RunService(HINSTANCE) {
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(kServiceName), &ServiceMain}, {nullptr, nullptr}};
    if (::StartServiceCtrlDispatcherW(table)) return 0;
    return static_cast<int>(::GetLastError());
}

}  // namespace velt::ui
