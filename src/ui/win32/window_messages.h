#pragma once
// The main window's own messages, in one place.
#include <windows.h>

namespace velt::ui {

// The worker's synchronous hand-off: wParam 0 a stored reply, 1 a failed worker.
inline constexpr UINT kWorkerMessage = WM_USER;
// Events of the notification icon, in the form of the version the shell took.
inline constexpr UINT kTrayMessage = WM_APP + 1;
// Work posted to the main thread (a send's result); the window runs it.
inline constexpr UINT kTaskMessage = WM_APP + 2;

// The window timers, one id each.
enum TimerId : UINT_PTR {
    kStartTimerId = 1,
    kDelayTimerId,
    kSMTPReportsTimerId,
    kLANReportsTimerId,
    kServiceLogTimerId,  // a window watching the service reads its log file
    kHistoryTimerId,     // the History page reads again while in view
};

}  // namespace velt::ui
