#pragma once
// The one date-time text every log line and report uses: the user's short date,
// a blank, the user's long time; the date alone when h:m:s are all zero.
#include <string>

#include "sys/clock.h"

namespace velt {

class IDateTimeFormat {
public:
    virtual ~IDateTimeFormat() = default;
    virtual std::string ShortDate(const LocalDateTime& t) const = 0;
    virtual std::string LongTime(const LocalDateTime& t) const = 0;
};

std::string DateTimeText(const LocalDateTime& t, const IDateTimeFormat& fmt);

}  // namespace velt
