#include "sys/win32/win_timer.h"

namespace velt::win {

WinTimer::~WinTimer() {
    if (enabled_) ::KillTimer(window_, id_);
}

void WinTimer::SetInterval(uint32_t ms) {
    if (ms == intervalMs_) return;
    intervalMs_ = ms;
    if (enabled_) Arm();
}

void WinTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        Arm();
    } else {
        ::KillTimer(window_, id_);
    }
}

// SetTimer on an existing id replaces it, which restarts the count. An
// interval of 0 never fires, as a timer without an interval does nothing.
void WinTimer::Arm() {
    if (intervalMs_ == 0) {
        ::KillTimer(window_, id_);
        return;
    }
    ::SetTimer(window_, id_, intervalMs_, nullptr);
}

}  // namespace velt::win
