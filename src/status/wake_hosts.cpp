#include "status/wake_hosts.h"

#include <algorithm>
#include <charconv>

#include "core/blank_trim.h"

namespace velt {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One entry; the problem's text when it does not read.
std::string ParseEntry(std::string_view entry, WakeHost& host) {
    const auto at = entry.find('@');
    const std::string_view mac = TrimBlanks(entry.substr(0, at));
    if (!ParseMacAddress(mac, host.mac)) return "Wake Hosts: '" + std::string(mac) + "' is not a MAC address";
    if (at == std::string_view::npos) return {};
    const std::string_view address = TrimBlanks(entry.substr(at + 1));
    if (!IsDottedQuad(address)) return "Wake Hosts: '" + std::string(address) + "' is not an IPv4 address";
    host.broadcast = std::string(address);
    return {};
}

}  // namespace

bool ParseMacAddress(std::string_view text, MacAddress& mac) {
    if (text.size() != 17) return false;
    const char separator = text[2];
    if (separator != ':' && separator != '-') return false;
    for (size_t i = 0; i < mac.size(); ++i) {
        const size_t at = i * 3;
        if (i > 0 && text[at - 1] != separator) return false;
        const int high = HexDigit(text[at]), low = HexDigit(text[at + 1]);
        if (high < 0 || low < 0) return false;
        mac[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

bool IsDottedQuad(std::string_view text) {
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.') return false;
            text.remove_prefix(1);
        }
        unsigned value = 256;
        const auto [end, error] = std::from_chars(text.data(), text.data() + std::min<size_t>(text.size(), 3), value);
        if (error != std::errc() || value > 255 || end == text.data()) return false;
        text.remove_prefix(static_cast<size_t>(end - text.data()));
    }
    return text.empty();
}

std::string MacText(const MacAddress& mac) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : mac) {
        if (!text.empty()) text += ':';
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    }
    return text;
}

WakeHostList ParseWakeHosts(std::string_view text) {
    WakeHostList list;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const std::string_view entry = TrimBlanks(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (entry.empty()) continue;
        WakeHost host;
        if (std::string problem = ParseEntry(entry, host); !problem.empty())
            list.problems.push_back(std::move(problem));
        else
            list.hosts.push_back(std::move(host));
    }
    return list;
}

}  // namespace velt
