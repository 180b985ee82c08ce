#pragma once
// Every command the program sends to the UPS, and the echo rule by which a UPS
// that does not know a command is recognised.
#include <optional>
#include <string>
#include <string_view>

namespace velt::cmd {

inline constexpr std::string_view kStatusMegatec = "Q1\r";
inline constexpr std::string_view kStatusMustek = "QS\r";
inline constexpr std::string_view kInfo = "I\r";
inline constexpr std::string_view kRating = "F\r";
inline constexpr std::string_view kTest10s = "T\r";
inline constexpr std::string_view kTestUntilLow = "TL\r";
inline constexpr std::string_view kCancelTest = "CT\r";
inline constexpr std::string_view kBeeperToggle = "Q\r";

// "T" + two digits + CR for 1..99 minutes; nothing for anything else.
std::optional<std::string> TimedTestCommand(int minutes);
// "S" + two digits + CR for the UPS switch-off delay (1..60 minutes, clamped into 1..99).
std::string ShutdownCommand(int minutes);
// The reply begins with the command's characters (without the carriage return).
bool IsEcho(std::string_view reply, std::string_view command);

}  // namespace velt::cmd
