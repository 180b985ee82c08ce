#pragma once
// TMainForm's window: builds the controls, forwards their events to the
// portable form logic, and shows what the logic asks for. The pages' views
// live in their own classes; this one is the shell: toolbar, status bar,
// notification icon, closing and the system's messages. What changes with
// every reply is held while the window is hidden and painted when it is
// shown. Its parts live in files of their own: creation here, the frame
// (main_window_frame), messages (main_window_messages), tray and showing
// (main_window_shown), closing (main_window_closing) and the views
// (main_window_view). Main thread only.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/main_view.h"
#include "ui/close_gate.h"
#include "ui/deferred_controls.h"
#include "ui/settings_controls.h"
#include "ui/win32/battery_controls.h"
#include "ui/win32/battery_volt_form.h"
#include "ui/win32/com_port_dialog.h"
#include "ui/win32/control_set.h"
#include "ui/win32/control_writer.h"
#include "ui/win32/history_page.h"
#include "ui/win32/info_page.h"
#include "ui/win32/link_labels.h"
#include "ui/win32/service_log_view.h"
#include "ui/win32/single_instance.h"
#include "ui/win32/status_page.h"
#include "ui/win32/system_seams.h"
#include "ui/win32/test_t_form.h"
#include "ui/win32/tray_icon.h"

namespace velt::ui {

class MainWindow final : public IMainView, public IFeedback, public IUPSTestView, public ISendProgressView {
public:
    MainWindow(HINSTANCE inst, AppMutexes& mutexes);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and runs the start-up with `params`; shown at once
    // when `show`, else only the notification icon is. False when the program
    // must end (silently).
    bool Create(const std::vector<std::string>& params, bool show);
    HWND Handle() const { return hwnd_; }

    // IMainView
    void SetReportString(const std::string& text) override;
    void SetTimeText(const std::string& text) override;
    void SetSpinner(const std::string& glyph) override;
    void AppendLogLine(const std::string& line) override;
    void ClearLog() override;
    void SetStartEnabled(bool enabled) override;
    void SetStopEnabled(bool enabled) override;
    void ShowSettings(const TUPSSettings& live) override;
    void ApplyPowerAvailability(const PowerActionAvailability& availability) override;
    void SetForceOptionsEnabled(bool enabled) override;
    void ShowExternalProgram(const ExternalProgramLabel& label) override;
    void ShowAbout(const std::string& osLabel, const std::string& fileVersion) override;
    void ShowAboutBox() override;
    std::optional<std::string> AskSaveLogPath(const std::string& proposedName) override;
    std::optional<std::string> AskExternalProgram() override;
    void ShowError(const std::string& message) override;
    void SetHttpPortEditable(bool editable) override;
    void SetNutPortEditable(bool editable) override;
    void SetHttpCredentialsEditable(bool editable) override;
    void CloseWindow() override;
    void MinimizeToTray() override;

    // IFeedback and IUPSTestView
    void SetStatusText(const std::string& text) override;
    void SetBusyCursor(bool busy) override;
    void AddSendLogLine(const std::string& line) override;
    void ShowAlertsWaiting(int64_t count) override;
    void ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) override;
    void DisableUPSTestButton(UPSTestButton button) override;
    void SetUPSTestButtonEnabled(UPSTestButton button, bool enabled) override;

private:
    static constexpr DWORD kWindowStyle =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    static SIZE WindowSizeAt(int dpi);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // None: the message goes on to the next handler or the default one.
    std::optional<LRESULT> OnFormMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> OnSessionMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    bool CreateForm(const std::vector<std::string>& params);
    void BindSettings();
    void OnCommand(int id, int code);
    LRESULT OnNotify(const NMHDR& hdr);
    void OnVScroll(int code, HWND from);
    void OnTimer(UINT_PTR id);
    void ShowServiceLog();
    LRESULT OnCtlColorStatic(HWND control, HDC dc, WPARAM wParam, LPARAM lParam);
    void OnWorkerMessage(unsigned wParam);
    void OnTrayEvent(LPARAM lParam);
    void OnTrayMenu(TrayMenuChoice choice);
    void OnSize(WPARAM kind);
    void OnShowWindow(bool shown);
    void SyncShown();
    void SyncHistoryInView(bool windowShown);
    void CreateHistoryPage();
    void PlaceCentred(int dpi);
    void CreateViews();
    void OnClose();
    LRESULT OnQueryEndSession();
    void OnEndSession(bool ending);
    void OnPowerBroadcast(WPARAM event);
    void OnDeviceChange(WPARAM event);
    void OnDestroy();
    void OnEffect(binding::Effect effect);

    void OnDpiChanged(int dpi, const RECT* suggested);
    void CreateStatusBar(int dpi);
    void SetStatusBarFont(int dpi);
    void LayoutStatusParts();
    int TabsBottom(int dpi) const;
    void SetWindowIcons(int dpi);
    void SetNarrowMargins();
    void ShowBatteryThresholds();
    void Restore();
    void CloseForGood();
    void CancelDialogs();
    win::HidControllerListener HidListener();

    // Runs a form handler. Handlers may show modal dialogs or pump messages;
    // a close that arrives meanwhile waits until the outermost one returns.
    template <typename F>
    void RunForm(F&& handler) {
        if (!form_ || !gate_.BeginHandler()) return;
        handler(*form_);
        if (gate_.EndHandler()) ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    }

    HINSTANCE inst_;
    AppMutexes& mutexes_;
    HWND hwnd_ = nullptr;
    HWND status_ = nullptr;
    win::GdiObject statusFont_;
    win::Icon smallIcon_, bigIcon_;
    bool busy_ = false;
    ControlSet controls_;
    ControlWriter writer_{controls_};
    DeferredControls deferred_{writer_};  // per-reply writes, held while hidden

    ComPortDialog portDialog_;
    TestTForm testTForm_;
    BatteryVoltForm batteryVoltForm_;

    std::unique_ptr<TrayIcon> tray_;
    std::string alertsWaiting_;  // the status bar's second part, while alerts wait
    std::unique_ptr<StatusPage> statusPage_;
    std::unique_ptr<InfoPage> infoPage_;
    std::unique_ptr<BatteryControls> battery_;
    std::unique_ptr<LinkLabels> links_;
    std::unique_ptr<SettingsControls> settings_;

    std::unique_ptr<ServiceLogView> serviceLog_;  // only while watching the service
    std::unique_ptr<SystemSeams> seams_;
    std::unique_ptr<HistoryPage> historyPage_;  // its worker posts to the seams' tasks
    std::unique_ptr<TMainForm> form_;  // last: it references everything above

    CloseGate gate_;
};

}  // namespace velt::ui
