#pragma once
// The identification ("I") and rating ("F") replies, read from the raw bytes
// the command exchange gives. Over HID those still hold the NUL report ids of
// the later reports; both parsers drop every NUL before anything else.
#include <optional>
#include <string>

namespace velt {

struct TUPSInformation {
    std::string Mfr, Model, Ver;

    bool operator==(const TUPSInformation&) const = default;
};

struct RatedValues {
    double Voltage = 220, Current = 0, BatteryVoltage = 12, Frequency = 50;

    bool operator==(const RatedValues&) const = default;
};

// "I" reply: "#", manufacturer (15), blank, model (10), blank, version (10),
// CR. The fields are read from positions 2, 18 and 29 (1-based at the "#") up
// to the CR, blanks and control characters removed at both ends. None when
// the reply is not an identification.
std::optional<TUPSInformation> ParseInfoReply(const std::string& raw);
// "F" reply: "#" and four blank-separated numbers, up to a CR or the end (some
// units send no CR); none unless all four convert.
std::optional<RatedValues> ParseRatingReply(const std::string& raw, char decimalSeparator);

}  // namespace velt
