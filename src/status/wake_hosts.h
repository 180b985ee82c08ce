#pragma once
// "Wake Hosts": the computers to wake once the mains are back, as a person
// types them into the registry editor: MAC addresses separated by commas,
// each with an optional "@a.b.c.d" broadcast address to send its packet to.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

using MacAddress = std::array<uint8_t, 6>;

inline constexpr const char* kWakeDefaultBroadcast = "255.255.255.255";

struct WakeHost {
    MacAddress mac{};
    std::string broadcast = kWakeDefaultBroadcast;  // a dotted quad
    bool operator==(const WakeHost&) const = default;
};

struct WakeHostList {
    std::vector<WakeHost> hosts;
    // One log line for each entry left out, in the order written.
    std::vector<std::string> problems;
};

// Blanks around entries and their parts are allowed, empty entries ignored;
// an entry that does not read is left out and named in `problems`.
WakeHostList ParseWakeHosts(std::string_view text);

// Six hex pairs, all separated by ':' or all by '-'.
bool ParseMacAddress(std::string_view text, MacAddress& mac);
// Four decimal numbers 0..255 separated by dots, nothing else.
bool IsDottedQuad(std::string_view text);
// "00:11:22:aa:bb:cc": how the log names a host.
std::string MacText(const MacAddress& mac);

}  // namespace velt
