#pragma once
// The system's clock, sleep and the user's date, time and number formats.
#include <string>

#include "sys/date_time_format.h"
#include "sys/clock.h"

namespace velt::win {

class WinClock final : public IClock {
public:
    LocalDateTime Now() const override;  // GetLocalTime
    uint64_t MonotonicMs() const override;  // GetTickCount64
};

class WinSleeper final : public ISleeper {
public:
    void Sleep(unsigned ms) override;
};

// The user's short date (DATE_SHORTDATE) and long time format; empty for a
// date the system cannot format.
class WinDateTimeFormat final : public IDateTimeFormat {
public:
    std::string ShortDate(const LocalDateTime& t) const override;
    std::string LongTime(const LocalDateTime& t) const override;
};

// The first character of the user's decimal separator; '.' when unknown.
char UserDecimalSeparator();

}  // namespace velt::win
