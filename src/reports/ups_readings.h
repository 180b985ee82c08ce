#pragma once
// What the network feeds (NUT variables, JSON, metrics) share in writing the
// snapshot: a field the last reply did not hold is absent; one that does not
// convert has no number. Numbers are written without the locale, always with
// a dot.
#include <cstdint>
#include <optional>
#include <string>

#include "status/shown_status.h"

namespace velt {

// The number of a field of the last reply; none when the reply did not hold
// it or it does not convert.
std::optional<double> ReplyValue(const ShownStatus& shown, ReplyField TUPSStatus::*field);

// The battery voltage of the last reply as the whole pack's.
std::optional<double> PackVolts(const ShownStatus& shown);

// The estimate held within 0..100; none without one.
std::optional<double> ChargePercent(const ShownLive& live);

// The rated battery voltage of the "F" reply, else the estimate's nominal
// voltage; none before either is known.
std::optional<double> NominalBatteryVolts(const ShownStatus& shown);

// A whole count (seconds) as a feed's number; none stays none.
std::optional<double> OptionalNumber(const std::optional<int>& value);

// A USB vendor or product id as four lower-case hex digits ("0665").
std::string UsbIdText(uint16_t id);

// At most `decimals` places, trailing zeros dropped ("221", "13.62", "-0.5");
// none for infinities and NaN, which no feed can carry.
std::optional<std::string> DecimalText(double value, int decimals = 3);

}  // namespace velt
