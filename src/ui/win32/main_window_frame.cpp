// The main window's frame: its size and place, icons, status bar and margins,
// and how all of it follows a change of DPI.
#include "ui/win32/main_window.h"

#include <commctrl.h>

#include "ui/dpi_scale.h"
#include "ui/main_layout.h"
#include "ui/resource.h"
#include "ui/win32/controls.h"
#include "ui/win32/window_dpi.h"

namespace velt::ui {

SIZE MainWindow::WindowSizeAt(int dpi) {
    return WindowSizeForClient(ScaleToDpi(layout::kClientWidth, dpi), ScaleToDpi(layout::kClientHeight, dpi),
                               kWindowStyle, dpi);
}

// Centred on the (primary) screen, taskbar or not.
void MainWindow::PlaceCentred(int dpi) {
    const SIZE size = WindowSizeAt(dpi);
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    ::SetWindowPos(hwnd_, nullptr, x, y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
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
    LayoutStatusParts();
}

// One part spanning the width; while alerts wait, their count at the right.
void MainWindow::LayoutStatusParts() {
    RECT r{};
    ::GetClientRect(status_, &r);
    int parts[2] = {-1, -1};
    const int count = alertsWaiting_.empty() ? 1 : 2;
    if (count == 2) parts[0] = r.right - ScaleToDpi(110, WindowDpi(hwnd_));
    ::SendMessageA(status_, SB_SETPARTS, count, reinterpret_cast<LPARAM>(parts));
    if (count == 2) ::SendMessageA(status_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(alertsWaiting_.c_str()));
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
    if (historyPage_) historyPage_->Rescale();
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace velt::ui
