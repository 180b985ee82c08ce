#include "reports/history_time.h"

#include <charconv>

#include "core/date_time_text.h"

namespace velt {

namespace {

constexpr int64_t kDaySeconds = 86400;

// The date of a count of days since 1970-01-01 (the proleptic Gregorian calendar).
void CivilFromDays(int64_t days, LocalDateTime& t) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (t.month <= 2));
}

bool LeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

// Reads exactly `digits` digits at the front of `text` and moves past them.
bool TakeNumber(std::string_view& text, size_t digits, int& value) {
    if (text.size() < digits) return false;
    for (size_t i = 0; i < digits; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    std::from_chars(text.data(), text.data() + digits, value);
    text.remove_prefix(digits);
    return true;
}

bool TakeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

bool TakeDate(std::string_view& text, LocalDateTime& t) {
    return TakeNumber(text, 4, t.year) && TakeChar(text, '-') && TakeNumber(text, 2, t.month) &&
           TakeChar(text, '-') && TakeNumber(text, 2, t.day) && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month);
}

// "HH:MM" with ":SS" if there; the seconds' fraction is dropped.
bool TakeTime(std::string_view& text, LocalDateTime& t) {
    if (!TakeNumber(text, 2, t.hour) || !TakeChar(text, ':') || !TakeNumber(text, 2, t.minute)) return false;
    if (TakeChar(text, ':')) {
        if (!TakeNumber(text, 2, t.second)) return false;
        if (TakeChar(text, '.'))
            while (!text.empty() && text.front() >= '0' && text.front() <= '9') text.remove_prefix(1);
    }
    return t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

// "Z", "+hh:mm", "+hhmm", "+hh" (or '-'), or nothing for the local offset.
bool TakeOffset(std::string_view& text, int localOffset, int& offset) {
    offset = localOffset;
    if (text.empty()) return true;
    if (TakeChar(text, 'Z') || TakeChar(text, 'z')) return (offset = 0, true);
    const char sign = text.front();
    if (sign != '+' && sign != '-' && sign != ' ') return false;
    text.remove_prefix(1);
    int hours = 0, minutes = 0;
    if (!TakeNumber(text, 2, hours)) return false;
    TakeChar(text, ':');
    if (!text.empty() && !TakeNumber(text, 2, minutes)) return false;
    if (hours > 23 || minutes > 59) return false;
    offset = (sign == '-' ? -1 : 1) * (hours * 60 + minutes);
    return true;
}

}  // namespace

LocalDateTime LocalTimeAt(int64_t utcSeconds, int utcOffsetMinutes) {
    const int64_t local = utcSeconds + static_cast<int64_t>(utcOffsetMinutes) * 60;
    const int64_t days = (local >= 0 ? local : local - (kDaySeconds - 1)) / kDaySeconds;
    const int64_t secondOfDay = local - days * kDaySeconds;
    LocalDateTime t;
    CivilFromDays(days, t);
    t.hour = static_cast<int>(secondOfDay / 3600);
    t.minute = static_cast<int>(secondOfDay / 60 % 60);
    t.second = static_cast<int>(secondOfDay % 60);
    t.utcOffsetMinutes = utcOffsetMinutes;
    return t;
}

std::optional<int64_t> ParseIsoTime(std::string_view text, int localOffsetMinutes) {
    LocalDateTime t;
    if (!TakeDate(text, t)) return std::nullopt;
    if ((TakeChar(text, 'T') || TakeChar(text, 't')) && !TakeTime(text, t)) return std::nullopt;
    if (!TakeOffset(text, localOffsetMinutes, t.utcOffsetMinutes) || !text.empty()) return std::nullopt;
    return UnixSeconds(t);
}

}  // namespace velt
