#include "reports/history_feeds.h"

#include "core/date_time_text.h"
#include "reports/history_time.h"
#include "reports/status_json.h"
#include "reports/ups_readings.h"

namespace velt {

namespace {

std::string TimeText(int64_t utc, int offsetMinutes) { return IsoDateTimeText(LocalTimeAt(utc, offsetMinutes)); }

std::string Number(double value) { return DecimalText(value).value_or(""); }

std::string JsonNumber(const std::optional<double>& value) {
    return value ? DecimalText(*value).value_or("null") : "null";
}

std::string CsvHeader() {
    std::string line = "time";
    for (const char* stem : kHistoryColumns)
        for (const char* stat : {"_min", "_avg", "_max"}) line += std::string(",") + stem + stat;
    return line + ",on_battery_seconds,readings\r\n";
}

std::string CsvLine(const MinuteRow& row) {
    std::string line = TimeText(row.minuteUtc, row.utcOffsetMinutes);
    for (const std::optional<MinuteStats>& stats : row.values)
        line += stats ? "," + Number(stats->min) + "," + Number(stats->avg) + "," + Number(stats->max) : ",,,";
    return line + "," + std::to_string(row.onBatterySeconds) + "," + std::to_string(row.readings) + "\r\n";
}

std::string PointJson(const HistoryPoint& point) {
    std::string json = "{\"time\":" + JsonString(TimeText(point.timeUtc, point.utcOffsetMinutes));
    for (size_t q = 0; q < kHistoryQuantities; ++q) {
        const std::optional<MinuteStats>& stats = point.values[q];
        if (!stats) continue;
        json += "," + JsonString(kHistoryColumns[q]) + ":{\"min\":" + JsonNumber(stats->min) +
                ",\"avg\":" + JsonNumber(stats->avg) + ",\"max\":" + JsonNumber(stats->max) + "}";
    }
    return json + ",\"on_battery_seconds\":" + std::to_string(point.onBatterySeconds) + "}";
}

std::string OutageJson(const EventRow& outage) {
    const int offset = outage.utcOffsetMinutes;
    return "{\"start\":" + JsonString(TimeText(outage.startUtc, offset)) +
           ",\"end\":" + (outage.endUtc ? JsonString(TimeText(*outage.endUtc, offset)) : "null") +
           ",\"seconds\":" + (outage.endUtc ? std::to_string(*outage.endUtc - outage.startUtc) : "null") +
           ",\"lowest_charge\":" + JsonNumber(outage.lowestCharge) + ",\"action\":" + JsonString(outage.action) +
           "}";
}

template <class Item, class Text>
std::string JsonArray(const std::vector<Item>& items, Text text) {
    std::string json = "[";
    for (const Item& item : items) json += (json.size() > 1 ? "," : "") + text(item);
    return json + "]";
}

}  // namespace

std::string HistoryCsv(const std::vector<MinuteRow>& minutes) {
    std::string csv = CsvHeader();
    for (const MinuteRow& row : minutes) csv += CsvLine(row);
    return csv;
}

std::string HistoryJson(const HistorySpan& span, int utcOffsetMinutes, const std::vector<HistoryPoint>& points,
                        const std::vector<EventRow>& outages) {
    std::string json = "{\"from\":" + JsonString(TimeText(span.fromUtc, utcOffsetMinutes)) +
                       ",\"to\":" + JsonString(TimeText(span.toUtc, utcOffsetMinutes)) +
                       ",\"step\":" + std::to_string(span.stepSeconds);
    if (span.stepSeconds != span.requestedStep) json += ",\"requested_step\":" + std::to_string(span.requestedStep);
    return json + ",\"points\":" + JsonArray(points, PointJson) + ",\"outages\":" + JsonArray(outages, OutageJson) +
           "}";
}

}  // namespace velt
