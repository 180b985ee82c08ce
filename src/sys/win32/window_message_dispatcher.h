#pragma once
// IMainThreadDispatcher as a message sent to a window of the main thread:
// SendMessage returns only once that thread's window procedure has run.
#include <windows.h>

#include "sys/main_thread_dispatcher.h"

namespace velt::win {

class WindowMessageDispatcher final : public IMainThreadDispatcher {
public:
    WindowMessageDispatcher(HWND target, UINT message) : target_(target), message_(message) {}

    void HandOff(WorkerMessage message) override {
        ::SendMessageA(target_, message_, static_cast<WPARAM>(message), 0);
    }

private:
    HWND target_;
    UINT message_;
};

}  // namespace velt::win
