#include "app/command_line.h"

#include <cctype>
#include <string_view>

namespace velt {
namespace {

bool IsSwitch(const std::string& param, std::string_view name) {
    if (param.size() != name.size()) return false;
    std::string lower;
    for (const char c : param) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return lower == name;
}

bool IsShowSwitch(const std::string& param) { return IsSwitch(param, "/show"); }

bool HasSwitch(const std::vector<std::string>& params, std::string_view name) {
    for (const auto& p : params)
        if (IsSwitch(p, name)) return true;
    return false;
}

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

std::vector<std::string> CommandLineParams(std::string_view line) {
    std::vector<std::string> params;
    std::string current;
    bool inParam = false, quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inParam = true;
        } else if (!quoted && std::isspace(static_cast<unsigned char>(c))) {
            if (inParam) params.push_back(current);
            current.clear();
            inParam = false;
        } else {
            current.push_back(c);
            inParam = true;
        }
    }
    if (inParam) params.push_back(current);
    return params;
}

bool HasServiceSwitch(const std::vector<std::string>& params) { return HasSwitch(params, "/service"); }

bool HasShowSwitch(const std::vector<std::string>& params) { return HasSwitch(params, "/show"); }

std::vector<std::string> WithoutShowSwitch(const std::vector<std::string>& params) {
    std::vector<std::string> rest;
    for (const auto& p : params)
        if (!IsShowSwitch(p)) rest.push_back(p);
    return rest;
}

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
