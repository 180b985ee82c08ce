#include "ui/service_command.h"

#include <cctype>
#include <string_view>

#include "app/settings_io.h"

namespace velt {
namespace {

const std::string kMachineKey = std::string("HKLM") + kSettingsKeyPath;

bool SameSwitch(const std::string& param, std::string_view name) {
    if (param.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(param[i])) != name[i]) return false;
    }
    return true;
}

std::string SettingsText(const SettingsCopyResult& r) {
    switch (r.outcome) {
        case SettingsCopyOutcome::Copied: {
            std::string text = std::to_string(r.copied) + " settings copied to " + kMachineKey;
            if (!r.wrongKind.empty()) {
                text += " (" + std::to_string(r.wrongKind.size()) + " stored as the wrong kind left out, first '" +
                        r.wrongKind.front() + "')";
            }
            return text;
        }
        case SettingsCopyOutcome::MachineKeyExists: return kMachineKey + " exists already: its settings were kept";
        case SettingsCopyOutcome::UserKeyMissing:
            return "no settings of this user to copy: the service starts with the defaults";
        case SettingsCopyOutcome::Failed: break;
    }
    return "settings not copied: " + r.why;
}

// The later steps that failed, each with its reason, "; " between them.
std::string LaterFailures(const InstallSteps& s) {
    std::string text;
    const auto add = [&text](const std::string& what, const std::string& why) {
        if (why.empty()) return;
        text += (text.empty() ? "" : "; ") + what + ": " + why;
    };
    add("event log source not registered", s.eventSourceWhy);
    if (s.settings.outcome == SettingsCopyOutcome::Failed) add("settings not copied", s.settings.why);
    add("not started", s.startWhy);
    return text;
}

}  // namespace

ServiceCommand ServiceCommandOf(const std::vector<std::string>& params) {
    for (const auto& p : params) {
        if (SameSwitch(p, "/install-service")) return ServiceCommand::Install;
        if (SameSwitch(p, "/remove-service")) return ServiceCommand::Remove;
    }
    return ServiceCommand::None;
}

CommandResult InstallCommandResult(const InstallSteps& s) {
    if (!s.installWhy.empty()) return {kCommandFailed, "Service Veltrano not installed: " + s.installWhy};
    const std::string head = s.existed ? "Service Veltrano was installed already and is reconfigured"
                                       : "Service Veltrano installed";
    const std::string failures = LaterFailures(s);
    if (!failures.empty()) {
        const bool settingsFailed = s.settings.outcome == SettingsCopyOutcome::Failed;
        const std::string settings = settingsFailed ? "" : "; " + SettingsText(s.settings);
        return {kInstalledIncomplete, head + ", but " + failures + settings};
    }
    return {kCommandDone, head + " and started; " + SettingsText(s.settings)};
}

CommandResult RemoveCommandResult(const std::string& removeWhy, const std::string& eventSourceWhy) {
    if (!removeWhy.empty()) return {kCommandFailed, "Service Veltrano not removed: " + removeWhy};
    if (!eventSourceWhy.empty()) {
        return {kCommandFailed, "Service Veltrano removed, but not its event log source: " + eventSourceWhy};
    }
    return {kCommandDone, "Service Veltrano removed; its settings in " + kMachineKey + " are kept"};
}

}  // namespace velt
