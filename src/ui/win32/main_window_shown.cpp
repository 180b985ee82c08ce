// The main window shown and hidden: the notification icon's clicks and menu,
// minimising into the tray, and catching up with what changed while hidden.
#include "ui/win32/main_window.h"

#include <commctrl.h>

namespace velt::ui {

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

// Sent before the window appears or after it went: the controls take what
// was held back before they are first painted.
void MainWindow::OnShowWindow(bool shown) {
    deferred_.SetShown(shown);
    SyncHistoryInView(shown);
}

// After a show of our own, in case the system sent no WM_SHOWWINDOW for it.
void MainWindow::SyncShown() {
    const bool visible = hwnd_ && ::IsWindowVisible(hwnd_);
    if (visible != deferred_.Shown()) deferred_.SetShown(visible);
    SyncHistoryInView(visible);
}

// The History page reads only while someone can see it.
void MainWindow::SyncHistoryInView(bool windowShown) {
    if (!historyPage_) return;
    const int selected = static_cast<int>(::SendMessageA(controls_.Tabs(), TCM_GETCURSEL, 0, 0));
    historyPage_->SetInView(windowShown && selected == layout::PageIndex(layout::Page::History));
}

// Show, restore from minimised, bring to the front: in this order.
void MainWindow::Restore() {
    ::ShowWindow(hwnd_, SW_SHOW);
    SyncShown();
    if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
    ::SetForegroundWindow(hwnd_);
}

void MainWindow::MinimizeToTray() { ::ShowWindow(hwnd_, SW_HIDE); }

}  // namespace velt::ui
