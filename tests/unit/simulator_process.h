#pragma once
// Starts the UPS simulator on a pty for native tests and stops it again.
#include <string>
#include <vector>

#include "python_child.h"

namespace velt::test {

class SimulatorProcess {
public:
    explicit SimulatorProcess(const std::vector<std::string>& args)
        : child_(VELTRANO_SOURCE_DIR "/tools/upssim.py", args) {
        const auto line = child_.ReadLine(std::chrono::seconds(10));
        if (line && line->rfind("READY ", 0) == 0) pty_ = line->substr(6);
    }

    const std::string& PtyPath() const { return pty_; }

private:
    PythonChild child_;
    std::string pty_;
};

}  // namespace velt::test
