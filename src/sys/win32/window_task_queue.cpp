#include "sys/win32/window_task_queue.h"

namespace velt::win {

void WindowTaskQueue::Post(std::function<void()> task) {
    std::lock_guard<std::mutex> guard(mutex_);
    tasks_.push_back(std::move(task));
    // A failed post (the window is gone, its queue full) leaves the bell free
    // for the next task to try again.
    if (!rung_) rung_ = ::PostMessageA(target_, message_, 0, 0) != FALSE;
}

void WindowTaskQueue::RunPending() {
    std::deque<std::function<void()>> due;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        rung_ = false;
        due.swap(tasks_);
    }
    for (auto& task : due) task();
}

}  // namespace velt::win
