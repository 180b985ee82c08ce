#pragma once
// Where core code reports log lines. Main thread only: the worker never logs.
#include <string>

namespace velt {

class ILogSink {
public:
    virtual ~ILogSink() = default;
    virtual void AddLogLine(const std::string& message) = 0;
};

}  // namespace velt
