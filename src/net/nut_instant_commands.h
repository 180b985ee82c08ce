#pragma once
// The UPS's own commands as NUT instant commands: the names clients list and
// run, their descriptions, and what each sends to the UPS.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "status/ups_tests.h"

namespace velt {

struct NutInstantCommand {
    std::string_view name, description;
    // The window's button for the same command: a UPS that echoes it has
    // the button disabled, whoever asked.
    std::optional<UPSTestButton> button;
    // The bytes for the UPS; `shutdownDelayMinutes` is "UPS Shutdown Delay".
    std::string (*upsCommand)(int shutdownDelayMinutes);
};

std::span<const NutInstantCommand> NutInstantCommands();
// The command of that name, in any case; none for a name not offered.
const NutInstantCommand* FindNutInstantCommand(std::string_view name);

}  // namespace velt
