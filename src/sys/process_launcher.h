#pragma once
// Process creation seam for the external program of the power-fail action.
#include <memory>
#include <string>

namespace velt {

enum class ProcessWait {
    Ended,         // the process has ended
    StillRunning,  // the wait ran out
    Failed,        // the process can no longer be waited for
};

// A started process. Destroying it releases the process and thread handles; it
// never ends the process itself.
class IRunningProcess {
public:
    virtual ~IRunningProcess() = default;
    virtual ProcessWait WaitForExit(unsigned ms) = 0;
};

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Starts `commandLine` in a new console window shown normally, in the idle
    // priority class, inheriting no handles; `workingDirectory` empty means the
    // caller's. Null when it could not be started; `errorText` then says why.
    virtual std::unique_ptr<IRunningProcess> Start(const std::string& commandLine,
                                                   const std::string& workingDirectory,
                                                   std::string& errorText) = 0;
};

}  // namespace velt
