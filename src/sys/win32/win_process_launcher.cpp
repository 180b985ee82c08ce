#include "sys/win32/win_process_launcher.h"

#include <vector>

#include "sys/win32/system_error_text.h"

namespace velt::win {

ProcessWait WinRunningProcess::WaitForExit(unsigned ms) {
    switch (::WaitForSingleObject(process_.get(), ms)) {
        case WAIT_OBJECT_0: return ProcessWait::Ended;
        case WAIT_TIMEOUT: return ProcessWait::StillRunning;
        default: return ProcessWait::Failed;
    }
}

std::unique_ptr<IRunningProcess> WinProcessLauncher::Start(const std::string& commandLine,
                                                           const std::string& workingDirectory,
                                                           std::string& errorText) {
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    const BOOL started = ::CreateProcessA(
        nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | IDLE_PRIORITY_CLASS,
        nullptr, workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info);
    if (!started) {
        errorText = LastErrorText();
        return nullptr;
    }
    return std::make_unique<WinRunningProcess>(Handle(info.hProcess), Handle(info.hThread));
}

}  // namespace velt::win
