#pragma once
// The user's date and time formats, as the system gives them.
#include <string>

#include "sys/clock.h"

namespace velt {

class IDateTimeFormat {
public:
    virtual ~IDateTimeFormat() = default;
    virtual std::string ShortDate(const LocalDateTime& t) const = 0;
    virtual std::string LongTime(const LocalDateTime& t) const = 0;
};

}  // namespace velt
