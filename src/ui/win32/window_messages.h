#pragma once
// The main window's own messages, in one place.
#include <windows.h>

namespace velt::ui {

// The worker's synchronous hand-off: wParam 0 a stored reply, 1 a failed worker.
inline constexpr UINT kWorkerMessage = WM_USER;
// Events of the notification icon (version 4: the event in LOWORD(lParam)).
inline constexpr UINT kTrayMessage = WM_APP + 1;

// The window timers, one id each.
enum TimerId : UINT_PTR {
    kStartTimerId = 1,
    kDelayTimerId,
    kSMTPReportsTimerId,
    kLANReportsTimerId,
};

}  // namespace velt::ui
