#pragma once
// The identification ("I") and rating ("F") replies, read from the raw bytes
// the command exchange gives.
#include <optional>
#include <string>

namespace velt {

struct TUPSInformation {
    std::string Mfr, Model, Ver;
};

struct TRatedValues {
    double Voltage = 220, Current = 0, BatteryVoltage = 12, Frequency = 50;
};

// "I" reply: 15, 10 and 10 characters from positions 3, 19 and 30 (1-based at
// the "#"), trailing blanks and control characters removed. None when the
// reply is not an identification.
std::optional<TUPSInformation> ParseInfoReply(const std::string& reply);
// "F" reply: four blank-separated numbers; none unless all four convert.
std::optional<TRatedValues> ParseRatingReply(const std::string& reply, char decimalSeparator);

}  // namespace velt
