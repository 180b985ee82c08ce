#include "app/command_line.h"

#include <string_view>

namespace velt {
namespace {

// "/I" + four characters + ":" + four characters, the switch letter upper case.
constexpr size_t kHidSwitchLength = 11;
constexpr size_t kColonPos = 6;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int HexValue(char c) {
    if (c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// Four hexadecimal digits, either case; anything else gives kNoExtraHidId.
uint16_t HexGroup(std::string_view group) {
    unsigned value = 0;
    for (char c : group) {
        if (!IsHexDigit(c)) return kNoExtraHidId;
        value = value * 16 + static_cast<unsigned>(HexValue(c));
    }
    return static_cast<uint16_t>(value);
}

bool IsHidSwitch(std::string_view p) {
    return p.size() == kHidSwitchLength && p.substr(0, 2) == "/I" && p[kColonPos] == ':';
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& params) {
    CommandLineOptions options;
    for (const std::string& p : params) {
        if (IsHidSwitch(p)) {
            const std::string_view s(p);
            options.extraVid = HexGroup(s.substr(2, 4));
            options.extraPid = HexGroup(s.substr(kColonPos + 1, 4));
        } else if (p == "/A") {
            options.showAbout = true;
        }
    }
    return options;
}

}  // namespace velt
