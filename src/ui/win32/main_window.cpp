#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>

#include "ui/win32/control_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/main_layout.h"
#include "ui/win32/page_panel.h"
#include "ui/win32/resource.h"

namespace velt::ui {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT_PTR kStartTimerId = 1;
constexpr UINT kStartTimerMs = 100;
constexpr int kRefreshMin = 1, kRefreshMax = 60, kRefreshDefault = 3;
// The worker's longest poll is about 4.5 s plus a 300 ms pause step; past this
// something is stuck for good.
constexpr ULONGLONG kWorkerEndLimitMs = 15000;
constexpr DWORD kSentMessageWaitMs = 50;

RECT CentredWindowRect() {
    RECT r{0, 0, layout::kClientWidth, layout::kClientHeight};
    ::AdjustWindowRectEx(&r, kWindowStyle, FALSE, 0);
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = work.left + ((work.right - work.left) - w) / 2;
    const int y = work.top + ((work.bottom - work.top) - h) / 2;
    return {x, y, x + w, y + h};
}

bool RegisterMainClass(HINSTANCE inst, WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.hIcon = static_cast<HICON>(::LoadImageA(inst, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 32, 32, LR_SHARED));
    wc.hIconSm = static_cast<HICON>(::LoadImageA(inst, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, LR_SHARED));
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kMainWindowClass;
    return ::RegisterClassExA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateChild(HWND parent, const char* cls, DWORD style, int id) {
    return ::CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
}

int WindowHeight(HWND h) {
    RECT r{};
    ::GetWindowRect(h, &r);
    return r.bottom - r.top;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE inst, AppMutexes& mutexes)
    : inst_(inst),
      mutexes_(mutexes),
      portDialog_(inst),
      form_(MainFormDeps{*this, mutexes.data, sleeper_, clock_, dateFormat_, serialPorts_, portDialog_, files_,
                         win::UserDecimalSeparator()}) {}

MainWindow::~MainWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool MainWindow::Create(bool show) {
    if (!RegisterMainClass(inst_, &MainWindow::WindowProc) || !RegisterPagePanelClass(inst_)) return false;
    const RECT r = CentredWindowRect();
    if (!::CreateWindowExA(0, kMainWindowClass, kMainWindowCaption, kWindowStyle, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, inst_, this))
        return false;
    if (show) {
        ::ShowWindow(hwnd_, SW_SHOWNORMAL);
        ::UpdateWindow(hwnd_);
    }
    return true;
}

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
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return 0;
        case WM_VSCROLL:
            OnVScroll(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case kWorkerMessage:
            form_.OnWorkerMessage(static_cast<unsigned>(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return 0;
        default:
            return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
    }
}

bool MainWindow::OnCreate() {
    portDialog_.SetOwner(hwnd_);
    tooltips_ = CreateTooltips(hwnd_);
    logFont_ = CreateSmallFont(hwnd_);
    CreateStatusBar();
    CreatePages();
    CreateTableControls();
    SetUpRefreshUpDown();
    ShowPage(layout::kOpeningPage);
    SetStartEnabled(true);
    SetStopEnabled(false);
    if (!status_ || !tabs_ || !pages_[0] || !pages_[1] || !pages_[2]) return false;
    StartWorker();
    ::SetTimer(hwnd_, kStartTimerId, kStartTimerMs, nullptr);
    return true;
}

// One part spanning the width, so WM_GETTEXT gives the message.
void MainWindow::CreateStatusBar() {
    status_ = CreateChild(hwnd_, STATUSCLASSNAMEA, 0, IDC_StatusBar);
    ::SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    int right[1] = {-1};
    ::SendMessageA(status_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(right));
    ::SendMessageA(status_, WM_SIZE, 0, 0);
}

// The pages are panels over the page control's display area; the page control
// stays below them and clips itself, so it never paints over their controls.
void MainWindow::CreatePages() {
    tabs_ = CreateChild(hwnd_, WC_TABCONTROLA, WS_CLIPSIBLINGS | WS_TABSTOP, IDC_PC);
    ::SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    const int bottom = layout::kClientHeight - WindowHeight(status_) - layout::kTabsBottomGap;
    ::MoveWindow(tabs_, layout::kTabsLeft, layout::kTabsTop, layout::kTabsWidth, bottom - layout::kTabsTop, FALSE);
    for (int i = 0; i < layout::kPageCount; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(layout::kPages[i].caption);
        ::SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT area{};
    ::GetClientRect(tabs_, &area);
    ::SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    ::OffsetRect(&area, layout::kTabsLeft, layout::kTabsTop);
    for (int i = 0; i < layout::kPageCount; ++i) pages_[i] = CreatePagePanel(hwnd_, layout::kPages[i].id, area);
    ::SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::CreateTableControls() {
    for (const auto& spec : layout::kMainControls) {
        HWND parent = spec.page == layout::Page::Window ? hwnd_ : pages_[static_cast<int>(spec.page) - 1];
        HICON icon = nullptr;
        if (spec.icon) {
            icons_.push_back(LoadSmallIcon(inst_, spec.icon));
            icon = icons_.back().get();
        }
        const HFONT font = spec.id == IDC_LogM ? static_cast<HFONT>(logFont_.get()) : DefaultGuiFont();
        HWND h = CreateControl(parent, spec, font ? font : DefaultGuiFont(), icon);
        if (spec.id != layout::kNoId) controls_[spec.id] = h;
        AddTooltip(tooltips_, h, spec.hint);
    }
    // No limit on the log's length: it keeps every line until cleared.
    ::SendMessageA(Control(IDC_LogM), EM_SETLIMITTEXT, 0, 0);
    // Narrow margins, so a whole 47-character status reply fits in view.
    ::SendMessageA(Control(IDC_ReportStringE), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 0));
}

void MainWindow::SetUpRefreshUpDown() {
    HWND ud = Control(IDC_RefreshUD);
    ::SendMessageA(ud, UDM_SETRANGE32, kRefreshMin, kRefreshMax);
    ::SendMessageA(ud, UDM_SETPOS32, 0, kRefreshDefault);
}

void MainWindow::ShowPage(int index) {
    ::SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (int i = 0; i < layout::kPageCount; ++i) ::ShowWindow(pages_[i], i == index ? SW_SHOW : SW_HIDE);
}

void MainWindow::StartWorker() {
    HWND target = hwnd_;
    form_.CreateWorker(TReadData::Hooks{
        [] { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_IDLE); },
        [target] { ::SendMessageA(target, kWorkerMessage, 0, 0); },
    });
}

void MainWindow::OnCommand(int id, int code) {
    if (closing_) return;
    switch (id) {
        case IDC_StartSB:
            if (code == BN_CLICKED) RunModal([this] { form_.StartAExecute(); });
            break;
        case IDC_StopSB:
            if (code == BN_CLICKED) form_.StopAExecute();
            break;
        case IDC_ClearLogSB:
            if (code == BN_CLICKED) form_.ClearLogSBClick();
            break;
        case IDC_SaveLogSB:
            if (code == BN_CLICKED) RunModal([this] { form_.SaveLogSBClick(); });
            break;
        case IDC_RefreshE:
            if (code == EN_CHANGE) OnRefreshChanged();
            break;
        default:
            break;
    }
}

void MainWindow::OnNotify(const NMHDR& hdr) {
    if (hdr.hwndFrom == tabs_ && hdr.code == TCN_SELCHANGE)
        ShowPage(static_cast<int>(::SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)));
}

void MainWindow::OnVScroll(HWND from) {
    if (from && from == Control(IDC_RefreshUD)) form_.RefreshUDClick();
}

// Typing a number in the edit moves the up-down too: the new interval holds at once.
void MainWindow::OnRefreshChanged() {
    if (!Control(IDC_RefreshUD)) return;
    BOOL failed = FALSE;
    ::SendMessageA(Control(IDC_RefreshUD), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    if (!failed) form_.RefreshUDClick();
}

void MainWindow::OnTimer(UINT_PTR id) {
    if (id != kStartTimerId) return;
    ::KillTimer(hwnd_, kStartTimerId);
    if (!closing_) RunModal([this] { form_.StartAExecute(); });
}

template <typename F>
void MainWindow::RunModal(F&& handler) {
    ++modalDepth_;
    handler();
    --modalDepth_;
    if (closePending_ && modalDepth_ == 0) ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

// The close order: worker, port, mutexes, window. A modal dialog still open
// (the port dialog during a connect holds the data lock) is ended first.
void MainWindow::OnClose() {
    if (modalDepth_ > 0) {
        closePending_ = true;
        portDialog_.Cancel();
        return;
    }
    if (closing_) return;
    closing_ = true;
    ::KillTimer(hwnd_, kStartTimerId);
    form_.TerminateWorker();
    // A worker that never ends cannot be joined; leave the process then rather
    // than hang in the join or in the data lock it holds.
    if (!WaitForWorkerEnd()) ::ExitProcess(1);
    form_.JoinWorker();
    form_.CloseComPort();
    mutexes_.Close();
    ::DestroyWindow(hwnd_);
}

// The worker may be sending its reply notification right now: keep handling
// sent messages while waiting, or the two threads would wait for each other.
bool MainWindow::WaitForWorkerEnd() {
    const ULONGLONG deadline = ::GetTickCount64() + kWorkerEndLimitMs;
    while (!form_.WorkerFinished()) {
        if (::GetTickCount64() >= deadline) return false;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, kSentMessageWaitMs, QS_SENDMESSAGE, 0);
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    return true;
}

HWND MainWindow::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void MainWindow::SetText(int id, const std::string& text) { ::SetWindowTextA(Control(id), text.c_str()); }

void MainWindow::SetReportString(const std::string& text) { SetText(IDC_ReportStringE, text); }
void MainWindow::SetTimeText(const std::string& text) { SetText(IDC_TimeL, text); }
void MainWindow::SetSpinner(const std::string& glyph) { SetText(IDC_ProgressL, glyph); }

void MainWindow::AppendLogLine(const std::string& line) {
    HWND memo = Control(IDC_LogM);
    const int len = ::GetWindowTextLengthA(memo);
    const std::string text = len > 0 ? "\r\n" + line : line;
    ::SendMessageA(memo, EM_SETSEL, static_cast<WPARAM>(len), len);
    ::SendMessageA(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(memo, EM_SCROLLCARET, 0, 0);
}

void MainWindow::ClearLog() { SetText(IDC_LogM, ""); }

void MainWindow::SetStatusText(const std::string& text) {
    ::SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::SetStartEnabled(bool enabled) { ::EnableWindow(Control(IDC_StartSB), enabled); }
void MainWindow::SetStopEnabled(bool enabled) { ::EnableWindow(Control(IDC_StopSB), enabled); }

int MainWindow::RefreshSeconds() const {
    BOOL failed = FALSE;
    const LRESULT pos = ::SendMessageA(Control(IDC_RefreshUD), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    if (failed) return kRefreshDefault;
    return std::clamp(static_cast<int>(pos), kRefreshMin, kRefreshMax);
}

std::optional<std::string> MainWindow::AskSaveLogPath(const std::string& proposedName) {
    char file[MAX_PATH] = {};
    std::strncpy(file, proposedName.c_str(), MAX_PATH - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd_;
    ofn.lpstrFilter = "Text file (*.txt)\0*.txt\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = "Save Log As";
    ofn.lpstrDefExt = "txt";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameA(&ofn)) return std::nullopt;
    return std::string(file);
}

void MainWindow::ShowError(const std::string& message) {
    ::MessageBoxA(hwnd_, message.c_str(), kMainWindowCaption, MB_OK | MB_ICONERROR);
}

}  // namespace velt::ui
