#include "status/ups_tests.h"

#include "core/command_exchange.h"
#include "core/commands.h"

namespace velt {

std::string NotSupportedText(UPSTestButton button) {
    const char* name = "";
    switch (button) {
        case UPSTestButton::Test10s: name = "Test for 10 seconds"; break;
        case UPSTestButton::TestT: name = "Test for specified time period"; break;
        case UPSTestButton::TestLow: name = "Test until battery low"; break;
        case UPSTestButton::CancelTest: name = "Cancel Test"; break;
        case UPSTestButton::Beeper: name = "Toggle the UPS beeper"; break;
    }
    return "\"" + std::string(name) + "\" command not supported!";
}

bool UPSTests::RunUPSTestCommand(std::optional<UPSTestButton> button, std::string_view command) {
    std::string reply;
    {
        DataLockGuard guard(deps_.lock);
        reply = ExchangeCommand(deps_.link, command, deps_.sleeper, deps_.log);
    }
    if (!cmd::IsEcho(reply, command)) return true;
    if (!button) return false;
    deps_.view.DisableUPSTestButton(*button);
    deps_.view.SetStatusText(NotSupportedText(*button));
    return false;
}

// A UPS read from elsewhere gets the button's command from its server.
void UPSTests::Click(UPSTestButton button, std::string_view command) {
    if (deps_.sendRemote && deps_.sendRemote(button)) return;
    RunUPSTestCommand(button, command);
}

void UPSTests::Test10sSBClick() { Click(UPSTestButton::Test10s, cmd::kTest10s); }

void UPSTests::TestTSBClick() {
    if (!deps_.testTForm.ShowModalOk()) return;
    const auto command = cmd::TimedTestCommand(deps_.testTForm.TestTUDPosition());
    if (command) Click(UPSTestButton::TestT, *command);
}

void UPSTests::TestLowSBClick() { Click(UPSTestButton::TestLow, cmd::kTestUntilLow); }

void UPSTests::CancelTestSBClick() { Click(UPSTestButton::CancelTest, cmd::kCancelTest); }

void UPSTests::UPSBeeperSBClick() { Click(UPSTestButton::Beeper, cmd::kBeeperToggle); }

}  // namespace velt
