#pragma once
// The one date-time text every log line and report uses: the user's short date,
// a blank, the user's long time; the date alone when h:m:s are all zero.
#include <string>

#include "sys/clock.h"
#include "sys/date_time_format.h"

namespace velt {

std::string DateTimeText(const LocalDateTime& t, const IDateTimeFormat& fmt);

}  // namespace velt
