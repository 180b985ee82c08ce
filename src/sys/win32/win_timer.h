#pragma once
// ITimer as a window timer: SetTimer/KillTimer on the main window under an id
// of its own. WM_TIMER with that id reaches the window, which runs the handler
// only while Enabled() holds (a tick already queued when the timer was
// disabled is dropped there). Main thread only.
#include <windows.h>

#include "sys/timer.h"

namespace velt::win {

class WinTimer final : public ITimer {
public:
    WinTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
    ~WinTimer() override;
    WinTimer(const WinTimer&) = delete;
    WinTimer& operator=(const WinTimer&) = delete;

    // A new interval while running restarts the count with it.
    void SetInterval(uint32_t ms) override;
    uint32_t Interval() const override { return intervalMs_; }
    // Enabling restarts the count from zero, even when already enabled.
    void SetEnabled(bool enabled) override;
    bool Enabled() const override { return enabled_; }

    UINT_PTR Id() const { return id_; }

private:
    void Arm();

    HWND window_;
    UINT_PTR id_;
    uint32_t intervalMs_ = 1000;
    bool enabled_ = false;
};

}  // namespace velt::win
