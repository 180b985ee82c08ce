#pragma once
// veltrano.exe /install-service and /remove-service: which one the command
// line asks for, and what a run of it ends with (the one line the user reads
// and the exit code), made from what each of its steps gave.
#include <string>
#include <vector>

#include "app/settings_copy.h"

namespace velt {

enum class ServiceCommand { None, Install, Remove };

// The first of the two switches on the line, in any letter case.
ServiceCommand ServiceCommandOf(const std::vector<std::string>& params);

// 0: done. 1: nothing installed, or the service not removed. 2: the service
// is installed but a later step failed (the line names it); the next start
// of the system or "net start Veltrano" starts it.
inline constexpr int kCommandDone = 0;
inline constexpr int kCommandFailed = 1;
inline constexpr int kInstalledIncomplete = 2;

struct CommandResult {
    int exitCode = kCommandDone;
    std::string line;
};

// An empty `why` is a step that went well.
struct InstallSteps {
    std::string installWhy;  // creating or reconfiguring; nothing else runs when it fails
    bool existed = false;    // the service was there and is reconfigured
    std::string eventSourceWhy;
    SettingsCopyResult settings;
    std::string startWhy;
};

CommandResult InstallCommandResult(const InstallSteps& steps);
CommandResult RemoveCommandResult(const std::string& removeWhy, const std::string& eventSourceWhy);

}  // namespace velt
