#pragma once
// Work and log lines that a server's thread hands to the main thread. What is
// still queued when this ends is dropped, so none of it reaches an owner that
// is gone; it ends on the main thread, after its servers have stopped.
#include <functional>
#include <memory>
#include <string>

#include "core/event_sink.h"
#include "sys/main_thread_post.h"

namespace velt {

class MainThreadLog {
public:
    MainThreadLog(IMainThreadPost& post, ILogSink& log) : post_(post), log_(log) {}

    // Any thread: `task` runs on the main thread unless this ended first.
    void Post(std::function<void()> task);
    // Any thread.
    void AddLogLine(std::string line);

private:
    IMainThreadPost& post_;
    ILogSink& log_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// The line for an exception that reached the top of `server`'s thread.
std::string ServerFaultLine(const std::string& server, const std::string& what);

}  // namespace velt
