#include "ui/service_command.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

TEST(ServiceCommand, SwitchesAreWholeParametersInAnyCase) {
    struct Case {
        std::vector<std::string> params;
        ServiceCommand expected;
    };
    const Case cases[] = {
        {{"/install-service"}, ServiceCommand::Install},
        {{"/INSTALL-Service"}, ServiceCommand::Install},
        {{"/remove-service"}, ServiceCommand::Remove},
        {{"/show", "/Remove-Service"}, ServiceCommand::Remove},
        {{"/remove-service", "/install-service"}, ServiceCommand::Remove},  // the first one counts
        {{"/service"}, ServiceCommand::None},                              // the service mode's own
        {{"/install-services"}, ServiceCommand::None},
        {{"install-service"}, ServiceCommand::None},
        {{"/install"}, ServiceCommand::None},
        {{}, ServiceCommand::None},
    };
    for (const Case& c : cases) {
        const std::string shown = c.params.empty() ? "(none)" : c.params.front();
        EXPECT_EQ(ServiceCommandOf(c.params), c.expected) << shown;
    }
}

SettingsCopyResult Copied(int count) {
    SettingsCopyResult r;
    r.outcome = SettingsCopyOutcome::Copied;
    r.copied = count;
    return r;
}

SettingsCopyResult WithOutcome(SettingsCopyOutcome outcome, std::string why = "") {
    SettingsCopyResult r;
    r.outcome = outcome;
    r.why = std::move(why);
    return r;
}

// Each case: the steps, the exit code, and texts the one line must hold.
struct InstallCase {
    const char* name;
    InstallSteps steps;
    int exitCode;
    std::vector<std::string> says;
};

TEST(ServiceCommand, InstallTellsEveryStepInOneLineWithItsExitCode) {
    const InstallCase cases[] = {
        {"all well", {"", false, "", Copied(12), ""}, kCommandDone,
         {"installed and started", "12 settings copied to HKLM\\Software\\Quorvane\\Veltrano"}},
        {"reinstall keeps the machine key",
         {"", true, "", WithOutcome(SettingsCopyOutcome::MachineKeyExists), ""}, kCommandDone,
         {"installed already and is reconfigured", "exists already: its settings were kept"}},
        {"no user settings", {"", false, "", WithOutcome(SettingsCopyOutcome::UserKeyMissing), ""}, kCommandDone,
         {"starts with the defaults"}},
        {"not created", {"access denied; run it as an administrator", false, "", {}, ""}, kCommandFailed,
         {"not installed: access denied; run it as an administrator"}},
        {"start refused", {"", false, "", Copied(3), "ended as it started (exit code 1063)"},
         kInstalledIncomplete, {"installed, but not started: ended as it started (exit code 1063)", "3 settings"}},
        {"source and start",
         {"", false, "key refused", WithOutcome(SettingsCopyOutcome::MachineKeyExists), "timed out"},
         kInstalledIncomplete,
         {"event log source not registered: key refused; not started: timed out", "its settings were kept"}},
        {"settings refused", {"", false, "", WithOutcome(SettingsCopyOutcome::Failed, "no key"), ""},
         kInstalledIncomplete, {"but settings not copied: no key"}},
    };
    for (const InstallCase& c : cases) {
        const CommandResult r = InstallCommandResult(c.steps);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(r.line.find('\n'), std::string::npos) << c.name;
        for (const std::string& text : c.says) EXPECT_NE(r.line.find(text), std::string::npos) << c.name << ": " << r.line;
    }
}

TEST(ServiceCommand, SettingsLeftOutForTheirKindAreNamed) {
    InstallSteps steps;
    steps.settings = Copied(5);
    steps.settings.wrongKind = {"COM Port", "Name"};
    const CommandResult r = InstallCommandResult(steps);
    EXPECT_EQ(r.exitCode, kCommandDone);
    EXPECT_NE(r.line.find("5 settings copied"), std::string::npos) << r.line;
    EXPECT_NE(r.line.find("2 stored as the wrong kind left out, first 'COM Port'"), std::string::npos) << r.line;
}

TEST(ServiceCommand, RemoveSucceedsOnlyWithServiceAndSourceGone) {
    struct Case {
        const char* removeWhy;
        const char* sourceWhy;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {"", "", kCommandDone, "removed; its settings in HKLM\\Software\\Quorvane\\Veltrano are kept"},
        {"The service is not installed", "", kCommandFailed, "not removed: The service is not installed"},
        {"", "access denied", kCommandFailed, "removed, but not its event log source: access denied"},
    };
    for (const Case& c : cases) {
        const CommandResult r = RemoveCommandResult(c.removeWhy, c.sourceWhy);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.says;
        EXPECT_NE(r.line.find(c.says), std::string::npos) << r.line;
    }
}

}  // namespace
}  // namespace velt
