#pragma once
// IMainThreadDispatcher as a message sent to a window of the main thread:
// SendMessage returns only once that thread's window procedure has run.
#include <windows.h>

#include "sys/main_thread_dispatcher.h"

namespace velt::win {

class WindowMessageDispatcher final : public IMainThreadDispatcher {
public:
    WindowMessageDispatcher(HWND target, UINT message) : target_(target), message_(message) {}

    // wParam as the form's OnWorkerMessage reads it: 0 a stored reply, 2 a failed poll.
    void HandOffReply() override { ::SendMessageA(target_, message_, 0, 0); }
    void HandOffFailedPoll() override { ::SendMessageA(target_, message_, 2, 0); }

private:
    HWND target_;
    UINT message_;
};

}  // namespace velt::win
