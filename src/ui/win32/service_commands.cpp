#include "ui/win32/service_commands.h"

#include <windows.h>

#include "app/settings_copy.h"
#include "sys/win32/event_log_source.h"
#include "sys/win32/registry_store.h"
#include "sys/win32/service_installer.h"
#include "sys/win32/service_state.h"
#include "ui/service_command.h"
#include "ui/win32/command_output.h"
#include "ui/win32/service_host.h"

namespace velt::ui {
namespace {

// The stop saves and ends within the worker's bound, well inside these.
constexpr DWORD kStartTimeoutMs = 15 * 1000;
constexpr DWORD kStopTimeoutMs = 15 * 1000;

constexpr wchar_t kDisplayName[] = L"Veltrano UPS Monitor";
constexpr wchar_t kDescription[] =
    L"Watches the UPS and acts on power failures, whether or not anyone is logged on. "
    L"The Veltrano window shows its readings while it runs.";

std::wstring ExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

SettingsCopyResult CopySettings() {
    win::RegistryStore user(HKEY_CURRENT_USER);
    win::RegistryStore machine(HKEY_LOCAL_MACHINE);
    return CopySettingsToMachine(user, machine);
}

CommandResult Install() {
    win::ServiceDefinition def;
    def.name = kServiceName;
    def.displayName = kDisplayName;
    def.description = kDescription;
    def.exePath = ExePath();
    InstallSteps steps;
    win::InstallOutcome installed = win::InstallService(def);
    steps.installWhy = installed.step.why;
    if (!installed.step.ok) return InstallCommandResult(steps);
    steps.existed = installed.existed;
    steps.eventSourceWhy = win::RegisterEventLogSource(def.name, def.exePath).why;
    // Before the start: the service reads the machine's settings as it starts.
    steps.settings = CopySettings();
    steps.startWhy = win::StartService(installed.service.get(), kStartTimeoutMs).why;
    return InstallCommandResult(steps);
}

CommandResult Remove() {
    const win::ServiceStep removed = win::RemoveService(kServiceName, kStopTimeoutMs);
    // The source stays while the service does: its entries keep their text.
    const std::string sourceWhy = removed.ok ? win::RemoveEventLogSource(kServiceName).why : "";
    return RemoveCommandResult(removed.why, sourceWhy);
}

int Told(const CommandResult& result) {
    TellCommandOutcome(result.line, result.exitCode != kCommandDone);
    return result.exitCode;
}

}  // namespace

std::optional<int> RunServiceCommand(const std::vector<std::string>& params) {
    switch (ServiceCommandOf(params)) {
        case ServiceCommand::Install: return Told(Install());
        case ServiceCommand::Remove: return Told(Remove());
        case ServiceCommand::None: break;
    }
    return std::nullopt;
}

}  // namespace velt::ui
