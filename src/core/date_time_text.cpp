#include "core/date_time_text.h"

#include <cstdio>
#include <cstdlib>

namespace velt {

namespace {

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// Milliseconds of the calendar reading as if it were UTC.
int64_t CalendarMs(const LocalDateTime& t) {
    const int64_t days = DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000 + t.second * 1000 + t.millisecond;
}

}  // namespace

std::string DateTimeText(const LocalDateTime& t, const IDateTimeFormat& fmt) {
    if (t.hour == 0 && t.minute == 0 && t.second == 0) return fmt.ShortDate(t);
    return fmt.ShortDate(t) + " " + fmt.LongTime(t);
}

int64_t UnixSeconds(const LocalDateTime& t) {
    const int64_t ms = CalendarMs(t) - static_cast<int64_t>(t.utcOffsetMinutes) * 60000;
    return (ms >= 0 ? ms : ms - 999) / 1000;
}

std::string IsoDateTimeText(const LocalDateTime& t) {
    const int offset = std::abs(t.utcOffsetMinutes);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

}  // namespace velt
