#include "ui/outage_text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace velt::ui {

namespace {

constexpr const char* kNone = "-";
constexpr const char* kUnderWay = " so far";

std::string TwoUnits(int64_t big, const char* bigUnit, int64_t small, const char* smallUnit, bool pad) {
    char text[48];
    std::snprintf(text, sizeof text, pad ? "%lld %s %02lld %s" : "%lld %s %lld %s", static_cast<long long>(big),
                  bigUnit, static_cast<long long>(small), smallUnit);
    return text;
}

std::string ChargeText(const std::optional<double>& charge) {
    if (!charge) return kNone;
    return std::to_string(static_cast<int>(std::lround(std::clamp(*charge, 0.0, 100.0)))) + " %";
}

}  // namespace

std::string LengthText(int64_t seconds) {
    seconds = std::max<int64_t>(seconds, 0);
    if (seconds < 60) return std::to_string(seconds) + " s";
    if (seconds < 3600) return TwoUnits(seconds / 60, "min", seconds % 60, "s", true);
    if (seconds < 86400) return TwoUnits(seconds / 3600, "h", seconds % 3600 / 60, "min", true);
    return TwoUnits(seconds / 86400, "d", seconds % 86400 / 3600, "h", false);
}

std::string LocalMinuteText(int64_t utc, int utcOffsetMinutes) {
    using namespace std::chrono;
    const sys_seconds local{seconds(utc + int64_t{utcOffsetMinutes} * 60)};
    const sys_days day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss time{local - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()));
    return text;
}

OutageText OutageTextOf(const EventRow& outage, int64_t nowUtc) {
    OutageText text;
    text.start = LocalMinuteText(outage.startUtc, outage.utcOffsetMinutes);
    text.length = outage.endUtc ? LengthText(*outage.endUtc - outage.startUtc)
                                : LengthText(nowUtc - outage.startUtc) + kUnderWay;
    text.lowestCharge = ChargeText(outage.lowestCharge);
    text.action = outage.action.empty() ? kNone : outage.action;
    return text;
}

}  // namespace velt::ui
