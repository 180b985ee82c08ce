#include "app/main_thread_log.h"

namespace velt {

void MainThreadLog::Post(std::function<void()> task) {
    post_.Post([alive = std::weak_ptr<int>(alive_), task = std::move(task)] {
        if (!alive.expired()) task();
    });
}

void MainThreadLog::AddLogLine(std::string line) {
    Post([this, line = std::move(line)] { log_.AddLogLine(line); });
}

std::string ServerFaultLine(const std::string& server, const std::string& what) {
    return server + ": server error (" + what + "); the server goes on";
}

}  // namespace velt
