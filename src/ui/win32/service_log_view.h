#pragma once
// The log page of a window watching the service: the lines the service
// appends to its log file, read on the window's tick. Main thread only.
#include <string>
#include <vector>

#include "reports/log_tail.h"

namespace velt::ui {

class ServiceLogView {
public:
    ServiceLogView();
    // The lines added since the last call; none while the file cannot be read.
    std::vector<std::string> NewLines();

private:
    std::string path_;
    LogTail tail_;
};

}  // namespace velt::ui
