// The main window closing: by the user, the tray's Exit or the end of the
// session, and only once no handler of the form runs any more.
#include "ui/win32/main_window.h"

namespace velt::ui {

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

void MainWindow::OnDestroy() {
    tray_.reset();  // the icon goes with the window, not after it
    historyPage_.reset();  // its worker ends with the window
    ::PostQuitMessage(0);
}

// Posted: the close runs from the message loop, after the handler that asked.
void MainWindow::CloseWindow() { ::PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

}  // namespace velt::ui
