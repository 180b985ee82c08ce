#include "reports/history_csv.h"

#include <chrono>
#include <cstdio>

namespace velt {

namespace {

// "2024-05-01T13:05:00Z": the minute in UTC, whatever the zone it was kept in.
std::string UtcText(int64_t utc) {
    using namespace std::chrono;
    const sys_seconds at{seconds(utc)};
    const sys_days day = floor<days>(at);
    const year_month_day date{day};
    const hh_mm_ss time{at - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string Header() {
    std::string line = "time,utc_offset_minutes";
    for (const char* stem : kHistoryColumns)
        for (const char* stat : {"_min", "_avg", "_max"}) line += std::string(",") + stem + stat;
    return line + ",on_battery_seconds\r\n";
}

// A quantity no reading held leaves its three fields empty.
std::string Row(const MinuteRow& m) {
    std::string line = UtcText(m.minuteUtc) + "," + std::to_string(m.utcOffsetMinutes);
    for (const auto& stats : m.values)
        line += stats ? "," + Number(stats->min) + "," + Number(stats->avg) + "," + Number(stats->max) : ",,,";
    return line + "," + std::to_string(m.onBatterySeconds) + "\r\n";
}

}  // namespace

std::string HistoryCsv(const std::vector<MinuteRow>& minutes) {
    std::string csv = Header();
    for (const MinuteRow& m : minutes) csv += Row(m);
    return csv;
}

}  // namespace velt
