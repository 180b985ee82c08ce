#pragma once
// The program's command line: WinMain's text split into parameters, the
// window's own "/show", and the program's switches: "/I" adds a HID
// vendor:product pair to the accepted UPS list, "/A" asks for the about box.
// Anything else is ignored.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// Blank-separated parameters of the command line WinMain receives (everything
// after the program name); double quotes group blanks into one parameter and
// are themselves dropped.
std::vector<std::string> CommandLineParams(std::string_view line);

// "/show" in any letter case: show the window at start instead of starting
// hidden (for demonstrations and screenshots).
bool HasShowSwitch(const std::vector<std::string>& params);
// "/service", in any case: started by the service control manager.
bool HasServiceSwitch(const std::vector<std::string>& params);

// The parameters the program's own switches read: all but "/show".
std::vector<std::string> WithoutShowSwitch(const std::vector<std::string>& params);

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
