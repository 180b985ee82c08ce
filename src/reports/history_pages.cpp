#include "reports/history_pages.h"

#include <cstdio>

#include "core/date_time_text.h"
#include "reports/ansi_utf8.h"
#include "reports/daily_energy.h"
#include "reports/history_chart.h"
#include "reports/history_feeds.h"
#include "reports/history_svg.h"
#include "reports/history_time.h"
#include "reports/markup_text.h"
#include "reports/sqlite_db.h"

namespace velt {

namespace {

constexpr int64_t kDay = 86400;
constexpr int64_t kOutageListDays = 30;
constexpr int64_t kEnergyDays = 7;

PageResponse PlainAnswer(int status, const std::string& text) {
    return {status, {{"Cache-Control", "no-store"}}, "text/plain; charset=utf-8", text + "\n"};
}

// "1 h 05 min", "4 min 10 s", "25 s".
std::string LengthText(int64_t seconds) {
    char text[48];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld h %02lld min", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60));
    else if (seconds >= 60)
        std::snprintf(text, sizeof text, "%lld min %02lld s", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    else std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(seconds));
    return text;
}

std::string OutageRow(const EventRow& outage) {
    const LocalDateTime start = LocalTimeAt(outage.startUtc, outage.utcOffsetMinutes);
    char when[40];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", start.year, start.month, start.day, start.hour,
                  start.minute, start.second);
    char charge[16] = "-";
    if (outage.lowestCharge) std::snprintf(charge, sizeof charge, "%.0f%%", *outage.lowestCharge);
    const std::string length = outage.endUtc ? LengthText(*outage.endUtc - outage.startUtc) : "under way";
    const std::string action = outage.action.empty() ? "none" : Utf8FromAnsi(outage.action);
    return "<tr><td>" + std::string(when) + "</td><td>" + length + "</td><td>" + charge + "</td><td>" +
           MarkupText(action) + "</td></tr>\n";
}

std::string OutageTable(const std::vector<EventRow>& outages) {
    if (outages.empty()) return "<p>No outages.</p>\n";
    std::string html = "<table border=\"1\" cellpadding=\"4\">\n<tr><th>Start</th><th>Length</th>"
                       "<th>Lowest charge</th><th>Action</th></tr>\n";
    for (auto outage = outages.rbegin(); outage != outages.rend(); ++outage) html += OutageRow(*outage);
    return html + "</table>\n";
}

// The last week's days, newest first, each with what the load drew.
std::string EnergyTable(HistoryReader& reader, int64_t nowUtc, double ratingWatts) {
    const int64_t from = nowUtc - kEnergyDays * kDay;
    const std::vector<HistoryPoint> points = reader.Points(from, nowUtc, 3600);
    const std::vector<DayEnergy> days = EnergyPerDay(points, 3600, ratingWatts);
    if (days.empty()) return "";
    std::string html = "<h2>Energy per day</h2>\n<table border=\"1\" cellpadding=\"4\">\n<tr><th>Day</th>"
                       "<th>kWh</th></tr>\n";
    for (auto day = days.rbegin(); day != days.rend(); ++day) {
        char row[96];
        std::snprintf(row, sizeof row, "<tr><td>%04d-%02d-%02d</td><td>%.2f</td></tr>\n", day->year, day->month,
                      day->day, day->kWh);
        html += row;
    }
    return html + "</table>\n";
}

PageResponse Page(const HistoryAccess& access) {
    const int64_t to = access.nowUtc, from = to - ChartSpanSeconds(ChartSpan::Day);
    const int64_t step = ChartStepSeconds(ChartSpan::Day);
    const std::vector<EventRow> outages =
        access.reader->Events(to - kOutageListDays * kDay, to, HistoryEventKind::MainsFailure);
    const HistoryChart chart = LayoutHistoryChart(access.reader->Points(from, to, step), outages, from, to, step);
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Veltrano history</title></head>"
                       "<body>\n<h1>History</h1>\n";
    if (access.runtimeText) html += "<p>" + MarkupText(*access.runtimeText) + "</p>\n";
    html += "<h2>" + std::string(ChartSpanName(ChartSpan::Day)) + "</h2>\n" + HistoryChartSvg(chart);
    html += "<h2>Outages in the last " + std::to_string(kOutageListDays) + " days</h2>\n" + OutageTable(outages);
    if (access.ratingWatts) html += EnergyTable(*access.reader, to, *access.ratingWatts);
    return {200, {{"Cache-Control", "no-store"}}, "text/html; charset=utf-8", html + "</body></html>\n"};
}

PageResponse Csv(const HistorySpan& span, const HistoryAccess& access) {
    if ((span.toUtc - span.fromUtc + 59) / 60 > static_cast<int64_t>(kHistoryMaxPoints))
        return PlainAnswer(400, "from, to: at most " + std::to_string(kHistoryMaxPoints) +
                                    " minutes per answer; ask for a shorter span");
    PageResponse response = PlainAnswer(200, "");
    response.contentType = "text/csv; charset=utf-8";
    response.body = HistoryCsv(access.reader->Minutes(span.fromUtc, span.toUtc));
    return response;
}

PageResponse Json(const HistorySpan& span, const HistoryAccess& access) {
    const auto points = access.reader->Points(span.fromUtc, span.toUtc, span.stepSeconds);
    const auto outages = access.reader->Events(span.fromUtc, span.toUtc, HistoryEventKind::MainsFailure);
    PageResponse response = PlainAnswer(200, "");
    response.contentType = "application/json";
    response.body = HistoryJson(span, access.utcOffsetMinutes, points, outages);
    return response;
}

}  // namespace

PageResponse HistoryAnswer(HistoryDocument document, const std::string& query, const HistoryAccess& access) {
    if (!access.reader) return PlainAnswer(404, "No history is kept here.");
    try {
        if (document == HistoryDocument::Page) return Page(access);
        const HistorySpan span = ParseHistorySpan(query, access.nowUtc, access.utcOffsetMinutes);
        if (!span.error.empty()) return PlainAnswer(400, span.error);
        return document == HistoryDocument::Csv ? Csv(span, access) : Json(span, access);
    } catch (const SqliteError& e) {
        return PlainAnswer(503, std::string("History not readable now: ") + e.what());
    }
}

}  // namespace velt
