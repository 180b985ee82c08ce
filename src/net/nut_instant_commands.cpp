#include "net/nut_instant_commands.h"

#include <algorithm>
#include <array>

#include "core/commands.h"

namespace velt {

namespace {

constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// "Snn" with the switch-off delay, then the restore: the output comes back by itself.
std::string ShutdownAndReturn(int minutes) {
    std::string command = cmd::ShutdownCommand(minutes);
    command.pop_back();  // the carriage return goes after the restore time
    command += cmd::kRestoreAfterOneMinute;
    return command;
}

constexpr std::array kCommands{
    NutInstantCommand{"test.battery.start.quick", "Start a quick battery test", UPSTestButton::Test10s,
                      [](int) { return std::string(cmd::kTest10s); }},
    NutInstantCommand{"test.battery.start.deep", "Start a deep battery test", UPSTestButton::TestLow,
                      [](int) { return std::string(cmd::kTestUntilLow); }},
    NutInstantCommand{"test.battery.stop", "Stop the battery test", UPSTestButton::CancelTest,
                      [](int) { return std::string(cmd::kCancelTest); }},
    NutInstantCommand{"beeper.toggle", "Toggle the UPS beeper", UPSTestButton::Beeper,
                      [](int) { return std::string(cmd::kBeeperToggle); }},
    NutInstantCommand{"shutdown.return", "Turn off the load and return when power is back", std::nullopt,
                      ShutdownAndReturn},
    NutInstantCommand{"shutdown.stop", "Stop a shutdown in progress", std::nullopt,
                      [](int) { return std::string(cmd::kCancelShutdown); }},
};

}  // namespace

std::span<const NutInstantCommand> NutInstantCommands() { return kCommands; }

const NutInstantCommand* FindNutInstantCommand(std::string_view name) {
    for (const auto& command : kCommands)
        if (SameName(command.name, name)) return &command;
    return nullptr;
}

}  // namespace velt
