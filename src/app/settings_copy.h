#pragma once
// The machine's settings for the service, taken once from the installing
// user's: every value the program reads from the settings key, each with the
// kind the program reads it as. An existing machine key is never written to,
// so a second install keeps what an administrator set there.
#include <string>
#include <vector>

#include "sys/settings_store.h"

namespace velt {

enum class SettingsCopyOutcome {
    Copied,            // the machine key was made and holds the user's values
    MachineKeyExists,  // nothing written
    UserKeyMissing,    // the machine key was made empty: the service starts with defaults
    Failed,            // see `why`
};

struct SettingsCopyResult {
    SettingsCopyOutcome outcome = SettingsCopyOutcome::Failed;
    int copied = 0;
    // Stored as another kind than the program reads: the program would refuse
    // them on load, so they are left behind rather than carried over.
    std::vector<std::string> wrongKind;
    std::string why;
};

// Both stores are opened at the settings key's path: `machine` is the one the
// service reads.
SettingsCopyResult CopySettingsToMachine(ISettingsStore& user, ISettingsStore& machine);

}  // namespace velt
