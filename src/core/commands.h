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
// Cancels a shutdown ordered with "S..", and with it the restore that followed it.
inline constexpr std::string_view kCancelShutdown = "C\r";
// Follows a shutdown's "Snn" (without its carriage return) when the output is
// to come back: on again one minute after it went off, or once the mains
// return if they are still out then. One minute is the shortest the UPS takes.
inline constexpr std::string_view kRestoreAfterOneMinute = "R0001\r";

// "T" + two digits + CR for 1..99 minutes; nothing for anything else.
std::optional<std::string> TimedTestCommand(int minutes);
// "S" + two digits + CR for the UPS switch-off delay (1..60 minutes, clamped into 1..99).
std::string ShutdownCommand(int minutes);
// The reply begins with the command's characters (without the carriage return).
bool IsEcho(std::string_view reply, std::string_view command);

}  // namespace velt::cmd
