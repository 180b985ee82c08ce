#pragma once
// The program's switches: "/I" adds a HID vendor:product pair to the accepted
// UPS list, "/A" asks for the about box. Anything else is ignored.
#include <cstdint>
#include <string>
#include <vector>

namespace velt {

inline constexpr uint16_t kNoExtraHidId = 0xFFFF;

struct CommandLineOptions {
    uint16_t extraVid = kNoExtraHidId;
    uint16_t extraPid = kNoExtraHidId;
    bool showAbout = false;
};

// `params` are the parameters after the program name, first to last; a later
// "/I" overrides an earlier one.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& params);

}  // namespace velt
