#pragma once
// Starting the external program with CreateProcessA.
#include "sys/process_launcher.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

class WinRunningProcess final : public IRunningProcess {
public:
    WinRunningProcess(Handle process, Handle thread)
        : process_(std::move(process)), thread_(std::move(thread)) {}
    ProcessWait WaitForExit(unsigned ms) override;

private:
    Handle process_;
    Handle thread_;
};

class WinProcessLauncher final : public IProcessLauncher {
public:
    std::unique_ptr<IRunningProcess> Start(const std::string& commandLine,
                                           const std::string& workingDirectory,
                                           std::string& errorText) override;
};

}  // namespace velt::win
