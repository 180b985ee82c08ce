#pragma once
// IMainThreadPost as a queue that a window drains: a posted message rings the
// window once for any number of tasks; the window's procedure runs them.
#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

#include "sys/main_thread_post.h"

namespace velt::win {

class WindowTaskQueue final : public IMainThreadPost {
public:
    WindowTaskQueue(HWND target, UINT message) : target_(target), message_(message) {}

    void Post(std::function<void()> task) override;
    // On the main thread, for the queue's message.
    void RunPending();

private:
    HWND target_;
    UINT message_;
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    bool rung_ = false;  // a message is on its way; another would be wasted
};

}  // namespace velt::win
