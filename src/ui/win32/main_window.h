#pragma once
// TMainForm's window: builds the controls, forwards their events to the
// portable form logic, and shows what the logic asks for (IMainView).
// Main thread only.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/main_view.h"
#include "sys/win32/win_clock.h"
#include "sys/win32/win_file_writer.h"
#include "sys/win32/win_handle.h"
#include "sys/win32/win_serial_port.h"
#include "ui/win32/com_port_dialog.h"
#include "ui/win32/single_instance.h"

namespace velt::ui {

// The worker's synchronous hand-off: wParam 0 a stored reply, 1 a failed worker.
inline constexpr UINT kWorkerMessage = WM_USER;

class MainWindow final : public IMainView {
public:
    MainWindow(HINSTANCE inst, AppMutexes& mutexes);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window, hidden unless `show`; false on failure.
    bool Create(bool show);
    HWND Handle() const { return hwnd_; }

    // IMainView
    void SetReportString(const std::string& text) override;
    void SetTimeText(const std::string& text) override;
    void SetSpinner(const std::string& glyph) override;
    void AppendLogLine(const std::string& line) override;
    void ClearLog() override;
    void SetStatusText(const std::string& text) override;
    void SetStartEnabled(bool enabled) override;
    void SetStopEnabled(bool enabled) override;
    int RefreshSeconds() const override;
    std::optional<std::string> AskSaveLogPath(const std::string& proposedName) override;
    void ShowError(const std::string& message) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnCommand(int id, int code);
    void OnNotify(const NMHDR& hdr);
    void OnVScroll(HWND from);
    void OnTimer(UINT_PTR id);
    void OnClose();

    void CreateStatusBar();
    void CreatePages();
    void CreateTableControls();
    void SetUpRefreshUpDown();
    void ShowPage(int index);
    void StartWorker();
    void OnRefreshChanged();

    // Runs a handler that may show a modal dialog; a close requested meanwhile
    // is carried out once it returns.
    template <typename F>
    void RunModal(F&& handler);
    bool WaitForWorkerEnd();

    HWND Control(int id) const;
    void SetText(int id, const std::string& text);

    HINSTANCE inst_;
    AppMutexes& mutexes_;
    HWND hwnd_ = nullptr;
    HWND tabs_ = nullptr;
    HWND status_ = nullptr;
    HWND tooltips_ = nullptr;
    HWND pages_[3] = {};
    std::map<int, HWND> controls_;
    win::GdiObject logFont_;
    std::vector<win::Icon> icons_;

    win::WinClock clock_;
    win::WinSleeper sleeper_;
    win::WinDateTimeFormat dateFormat_;
    win::WinSerialPortFactory serialPorts_;
    win::WinFileWriter files_;
    ComPortDialog portDialog_;
    TMainForm form_;  // after the seams it references

    int modalDepth_ = 0;
    bool closePending_ = false;
    bool closing_ = false;
};

}  // namespace velt::ui
