// The history's texts: times asked and shown, the query, the CSV, JSON and SVG.
#include <gtest/gtest.h>

#include "reports/history_feeds.h"
#include "reports/history_query.h"
#include "reports/history_svg.h"
#include "reports/history_time.h"
#include "reports/markup_text.h"

namespace velt {
namespace {

constexpr int64_t kDec1 = 1796119200;  // 2026-12-01T10:00:00Z

TEST(HistoryTime, IsoTimesParseWithTheirOffsetOrTheLocalOne) {
    struct Case {
        const char* text;
        std::optional<int64_t> utc;  // with a local offset of +02:00
    };
    const Case cases[] = {
        {"2026-12-01T10:00:00Z", kDec1},
        {"2026-12-01t10:00:00z", kDec1},
        {"2026-12-01T11:00:00+01:00", kDec1},
        {"2026-12-01T11:00:00 01:00", kDec1},  // '+' decoded to a blank by a form
        {"2026-12-01T05:30:00-0430", kDec1},
        {"2026-12-01T15:00+05", kDec1},
        {"2026-12-01T10:00:00.750Z", kDec1},
        {"2026-12-01T12:00:00", kDec1},        // local
        {"2026-12-01", kDec1 - 12 * 3600},     // local midnight
        {"2024-02-29T00:00:00Z", 1709164800},
        {"1970-01-01T00:00:00Z", 0},
        {"2026-02-29", std::nullopt},
        {"2026-13-01", std::nullopt},
        {"2026-12-01T24:00:00Z", std::nullopt},
        {"2026-12-01T10:60Z", std::nullopt},
        {"2026-12-01T10", std::nullopt},
        {"2026-12-01T10:00:00+25:00", std::nullopt},
        {"2026-12-01T10:00:00Zjunk", std::nullopt},
        {"2026-12-1", std::nullopt},
        {"1796119200", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseIsoTime(c.text, 120), c.utc) << c.text;
}

TEST(HistoryTime, StoredSecondsReadBackAsLocalTimes) {
    EXPECT_EQ(LocalTimeAt(kDec1, 60), (LocalDateTime{2026, 12, 1, 11, 0, 0, 0, 60}));
    EXPECT_EQ(LocalTimeAt(kDec1 - 36001, -600), (LocalDateTime{2026, 11, 30, 13, 59, 59, 0, -600}));
    EXPECT_EQ(LocalTimeAt(951782400, 0), (LocalDateTime{2000, 2, 29, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LocalTimeAt(-1, 0), (LocalDateTime{1969, 12, 31, 23, 59, 59, 0, 0}));
}

TEST(HistoryQuery, SpansTakeDefaultsAndRefuseWhatCannotBeAnswered) {
    struct Case {
        const char* query;
        int64_t from, to, step, requested;
        const char* errorStart;
    };
    const int64_t now = kDec1;
    const Case cases[] = {
        {"", now - 86400, now, 60, 60, ""},
        {"step=300&junk&x=1", now - 86400, now, 300, 300, ""},
        {"to=2026-12-01T09:00:00Z", now - 3600 - 86400, now - 3600, 60, 60, ""},
        {"from=2026-12-01T09:00:00%2B00:00", now - 3600, now, 60, 60, ""},
        {"from=2026-12-01T10:00:00+01:00&to=2026-12-01T10:00:00Z&step=120", now - 3600, now, 120, 120, ""},
        {"from=2026-10-01&step=60", 1790805600, now, 540, 60, ""},  // 88,560 minutes: widened
        {"from=yesterday", 0, 0, 0, 0, "from: not an ISO 8601 time"},
        {"to=2026-12-01T10:00:00Z&from=2026-12-01T10:00:00Z", 0, 0, 0, 0, "from: must be before to"},
        {"step=59", 0, 0, 0, 0, "step:"},
        {"step=60s", 0, 0, 0, 0, "step:"},
        {"step=99999999999999999999", 0, 0, 0, 0, "step:"},
    };
    for (const Case& c : cases) {
        const HistorySpan span = ParseHistorySpan(c.query, now, 120);
        EXPECT_EQ(span.error.rfind(c.errorStart, 0), 0u) << c.query << ": " << span.error;
        if (*c.errorStart) continue;
        EXPECT_EQ(span.error, "") << c.query;
        EXPECT_EQ(span.fromUtc, c.from) << c.query;
        EXPECT_EQ(span.toUtc, c.to) << c.query;
        EXPECT_EQ(span.stepSeconds, c.step) << c.query;
        EXPECT_EQ(span.requestedStep, c.requested) << c.query;
    }
    EXPECT_EQ(QueryValue("a=1&b=%41%zz%4&a=2", "b"), "A%zz%4");
    EXPECT_EQ(QueryValue("a=1&a=2", "a"), "2");
    EXPECT_EQ(QueryValue("flag", "flag"), "");
    EXPECT_EQ(QueryValue("a=1", "b"), std::nullopt);
}

MinuteRow Minute(int64_t utc, int offset) {
    MinuteRow row;
    row.minuteUtc = utc;
    row.utcOffsetMinutes = offset;
    row.values[0] = MinuteStats{229.5, 230.25, 231};
    row.values[2] = MinuteStats{0, 1.0 / 3, 1};
    row.onBatterySeconds = 12;
    row.readings = 59;
    return row;
}

TEST(HistoryFeeds, CsvHasAHeaderEmptyCellsAndLocalTimes) {
    const std::string csv = HistoryCsv({Minute(kDec1, 60), Minute(kDec1 + 60, -330)});
    const std::string header =
        "time,input_voltage_min,input_voltage_avg,input_voltage_max,output_voltage_min,output_voltage_avg,"
        "output_voltage_max,load_min,load_avg,load_max,frequency_min,frequency_avg,frequency_max,battery_voltage_min,"
        "battery_voltage_avg,battery_voltage_max,temperature_min,temperature_avg,temperature_max,charge_min,"
        "charge_avg,charge_max,on_battery_seconds,readings\r\n";
    EXPECT_EQ(csv, header +
                       "2026-12-01T11:00:00+01:00,229.5,230.25,231,,,,0,0.333,1,,,,,,,,,,,,,12,59\r\n"
                       "2026-12-01T04:31:00-05:30,229.5,230.25,231,,,,0,0.333,1,,,,,,,,,,,,,12,59\r\n");
    EXPECT_EQ(HistoryCsv({}), header);
}

TEST(HistoryFeeds, JsonHoldsPointsAndOutagesWithTextsEscaped) {
    HistoryPoint point;
    point.timeUtc = kDec1;
    point.utcOffsetMinutes = 60;
    point.values[6] = MinuteStats{90, 95.5, 100};
    point.onBatterySeconds = 30;
    EventRow ended;
    ended.startUtc = kDec1;
    ended.endUtc = kDec1 + 95;
    ended.lowestCharge = 41.5;
    ended.action = "say \"bye\"\\\n";
    EventRow open;
    open.startUtc = kDec1 + 600;
    open.utcOffsetMinutes = 60;
    HistorySpan span{kDec1 - 3600, kDec1 + 3600, 120, 60, ""};
    EXPECT_EQ(HistoryJson(span, 60, {point}, {ended, open}),
              "{\"from\":\"2026-12-01T10:00:00+01:00\",\"to\":\"2026-12-01T12:00:00+01:00\",\"step\":120,"
              "\"requested_step\":60,\"points\":[{\"time\":\"2026-12-01T11:00:00+01:00\","
              "\"charge\":{\"min\":90,\"avg\":95.5,\"max\":100},\"on_battery_seconds\":30}],"
              "\"outages\":[{\"start\":\"2026-12-01T10:00:00+00:00\",\"end\":\"2026-12-01T10:01:35+00:00\","
              "\"seconds\":95,\"lowest_charge\":41.5,\"action\":\"say \\\"bye\\\"\\\\\\u000a\"},"
              "{\"start\":\"2026-12-01T11:10:00+01:00\",\"end\":null,\"seconds\":null,\"lowest_charge\":null,"
              "\"action\":\"\"}]}");
}

TEST(HistorySvg, TheChartIsSelfContainedMarkupWithItsParts) {
    HistoryChart chart;
    chart.empty = false;
    chart.series = {{HistoryQuantity::InputVoltage, "Input voltage", false, {{{0, 0}, {0.5, 1}}, {{0.75, 0.5}}}},
                    {HistoryQuantity::Load, "Load", true, {{{0, 0.25}}}},
                    {HistoryQuantity::Charge, "Charge", true, {}}};
    chart.outages = {{0.25, 0.5}};
    chart.timeTicks = {{0.5, "<14:00>"}};
    chart.percentTicks = {{0, "0%"}, {1, "100%"}};
    const std::string svg = HistoryChartSvg(chart);
    const auto count = [&](const std::string& part) {
        size_t n = 0;
        for (size_t at = svg.find(part); at != std::string::npos; at = svg.find(part, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 800.0 330.0\"", 0), 0u);
    EXPECT_EQ(count("<polyline"), 3u);
    EXPECT_EQ(count("points=\"64.0,256.0 404.0,16.0 \""), 1u) << "x and y from the plot's fractions";
    EXPECT_EQ(count("<rect class=\"outage\" x=\"234.0\" y=\"16.0\" width=\"170.0\""), 1u);
    EXPECT_EQ(count("&lt;14:00&gt;"), 1u);
    EXPECT_EQ(count("<14:00>"), 0u);
    for (const char* label : {">Input voltage<", ">Load<", ">Charge<", ">100%<"}) EXPECT_EQ(count(label), 1u) << label;
    for (const char* outside : {"<script", "href", "url(", "No history"}) EXPECT_EQ(count(outside), 0u) << outside;
    chart.empty = true;
    EXPECT_NE(HistoryChartSvg(chart).find(">No history for this span yet<"), std::string::npos);
    EXPECT_EQ(MarkupText("a&b<\"c\">'d'"), "a&amp;b&lt;&quot;c&quot;&gt;&#39;d&#39;");
}

}  // namespace
}  // namespace velt
