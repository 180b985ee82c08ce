#include "core/commands.h"

#include <cstdio>

namespace velt::cmd {

namespace {
std::string LetterAndTwoDigits(char letter, int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%c%02d\r", letter, n);
    return buf;
}
}  // namespace

std::optional<std::string> TimedTestCommand(int minutes) {
    if (minutes < 1 || minutes > 99) return std::nullopt;
    return LetterAndTwoDigits('T', minutes);
}

std::string ShutdownCommand(int minutes) {
    if (minutes < 1) minutes = 1;
    if (minutes > 99) minutes = 99;  // the command has room for two digits only
    return LetterAndTwoDigits('S', minutes);
}

bool IsEcho(std::string_view reply, std::string_view command) {
    if (!command.empty() && command.back() == '\r') command.remove_suffix(1);
    return !command.empty() && reply.substr(0, command.size()) == command;
}

}  // namespace velt::cmd
