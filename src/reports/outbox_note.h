#pragma once
// A message queued before the program last started goes out later than it
// was written; its body says when that was, in the user's format.
#include <string>

#include "sys/clock.h"
#include "sys/date_time_format.h"

namespace velt {

// The body with a last line "Written at <date time>."
std::string BodyWithWrittenAt(const std::string& body, const LocalDateTime& written, const IDateTimeFormat& fmt);

}  // namespace velt
