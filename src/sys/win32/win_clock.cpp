#include "sys/win32/win_clock.h"

#include <windows.h>

#include <cstdint>

namespace velt::win {

namespace {

SYSTEMTIME ToSystemTime(const LocalDateTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    st.wMilliseconds = static_cast<WORD>(t.millisecond);
    return st;
}

int64_t FileTimeValue(const FILETIME& t) {
    return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

}  // namespace

// One reading of UTC turned into local time, so the date, the time and the
// offset belong to the same moment even across a change of the clock.
LocalDateTime WinClock::Now() const {
    FILETIME utcFile{};
    ::GetSystemTimeAsFileTime(&utcFile);
    SYSTEMTIME utc{}, st{};
    FILETIME localFile{};
    int offsetMinutes = 0;
    if (::FileTimeToSystemTime(&utcFile, &utc) && ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st) &&
        ::SystemTimeToFileTime(&st, &localFile)) {
        // In 100 ns units; time zones are whole minutes.
        offsetMinutes = static_cast<int>((FileTimeValue(localFile) - FileTimeValue(utcFile)) / 600000000);
    } else {
        ::GetLocalTime(&st);
    }
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, offsetMinutes};
}

uint64_t WinClock::MonotonicMs() const { return ::GetTickCount64(); }

void WinSleeper::Sleep(unsigned ms) { ::Sleep(ms); }

std::string WinDateTimeFormat::ShortDate(const LocalDateTime& t) const {
    const SYSTEMTIME st = ToSystemTime(t);
    char buf[128] = {};
    if (::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, sizeof buf) == 0)
        return {};
    return buf;
}

std::string WinDateTimeFormat::LongTime(const LocalDateTime& t) const {
    const SYSTEMTIME st = ToSystemTime(t);
    char buf[128] = {};
    if (::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf) == 0) return {};
    return buf;
}

char UserDecimalSeparator() {
    char buf[8] = {};
    if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) == 0 || buf[0] == 0)
        return '.';
    return buf[0];
}

}  // namespace velt::win
