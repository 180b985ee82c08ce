#pragma once
// The main thread's task queue as tests see it: posted from any thread, run
// by the test when it chooses.
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "sys/main_thread_post.h"

namespace velt::test {

// The main thread's queue, drained by the test.
struct QueuedPost : IMainThreadPost {
    std::mutex m;
    std::deque<std::function<void()>> tasks;
    void Post(std::function<void()> task) override {
        std::lock_guard guard(m);
        tasks.push_back(std::move(task));
    }
    // Runs what is posted until `done` holds; false when 10 s pass first.
    bool RunUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::function<void()> task;
            {
                std::lock_guard guard(m);
                if (!tasks.empty()) {
                    task = std::move(tasks.front());
                    tasks.pop_front();
                }
            }
            if (task)
                task();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
};

}  // namespace velt::test
