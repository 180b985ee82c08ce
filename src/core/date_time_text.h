#pragma once
// The one date-time text every log line and report uses: the user's short date,
// a blank, the user's long time; the date alone when h:m:s are all zero.
#include <cstdint>
#include <string>

#include "sys/clock.h"
#include "sys/date_time_format.h"

namespace velt {

std::string DateTimeText(const LocalDateTime& t, const IDateTimeFormat& fmt);

// Seconds since 1970-01-01 00:00 UTC of a local time that carries its offset.
int64_t UnixSeconds(const LocalDateTime& t);
// ISO 8601 with the offset, to the second: "2024-02-01T10:00:00+01:00".
std::string IsoDateTimeText(const LocalDateTime& t);

}  // namespace velt
