// The history at full size: a generated database of 400 days (576,000
// minutes, an outage every five days), its file size, and how long the
// 30-day chart's query and the feed's answer take on it.
// Usage: history_db [FILE] (default /tmp/veltrano-history-bench.db, replaced)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "core/date_time_text.h"
#include "reports/history_chart.h"
#include "reports/history_pages.h"
#include "reports/history_reader.h"
#include "reports/history_store.h"

namespace {

using namespace velt;
using Clock = std::chrono::steady_clock;

constexpr int kDays = 400;
constexpr int64_t kMinutes = int64_t{kDays} * 1440;

struct FixedClock : IClock {
    LocalDateTime Now() const override { return {2027, 1, 15, 12, 0, 0, 0, 60}; }
    uint64_t MonotonicMs() const override { return 0; }
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A day's mains and load: voltage sagging in the evening, load by day.
MinuteRow MinuteAt(int64_t utc, int64_t index, bool onBattery) {
    const double hour = static_cast<double>((utc / 60) % 1440) / 60.0;
    const double volts = onBattery ? 0 : 230 - 6 * std::sin((hour - 13) / 24 * 2 * M_PI) + (index % 7) * 0.1;
    const double load = 18 + 10 * std::max(0.0, std::sin((hour - 7) / 24 * 2 * M_PI));
    MinuteRow row;
    row.minuteUtc = utc;
    row.utcOffsetMinutes = 60;
    auto set = [&](HistoryQuantity q, double v, double spread) {
        row.values[static_cast<size_t>(q)] = MinuteStats{v - spread, v, v + spread};
    };
    set(HistoryQuantity::InputVoltage, volts, 1.5);
    set(HistoryQuantity::OutputVoltage, onBattery ? 220 : volts, 1);
    set(HistoryQuantity::Load, load, 2);
    set(HistoryQuantity::Frequency, 50, 0.1);
    set(HistoryQuantity::BatteryVoltage, onBattery ? 25 : 27.2, 0.2);
    set(HistoryQuantity::Temperature, 27, 0.5);
    set(HistoryQuantity::Charge, onBattery ? 80 : 100, 1);
    row.onBatterySeconds = onBattery ? 60 : 0;
    row.readings = 60;
    return row;
}

void Generate(HistoryStore& store, int64_t endUtc) {
    const int64_t start = endUtc - kMinutes * 60;
    for (int64_t i = 0; i < kMinutes; ++i) {
        const int64_t utc = start + i * 60;
        const bool outage = (i % (5 * 1440)) >= 600 && (i % (5 * 1440)) < 610;  // 10 min every 5 days
        store.WriteMinute(MinuteAt(utc, i, outage));
        if ((i % (5 * 1440)) == 600) {
            EventRow row;
            row.startUtc = utc;
            row.endUtc = utc + 600;
            row.utcOffsetMinutes = 60;
            row.lowestCharge = 62;
            row.startCharge = 100;
            row.averageLoad = 24;
            store.WriteEvent(row);
        }
    }
}

template <class Body>
double MedianMs(int runs, Body body) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        body();
        times.push_back(Ms(Clock::now() - t0));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path file = argc > 1 ? argv[1] : "/tmp/veltrano-history-bench.db";
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file.string() + suffix);
    FixedClock clock;
    const int64_t now = UnixSeconds(clock.Now());
    const auto t0 = Clock::now();
    {
        HistoryStoreOptions options;
        options.file = file;
        HistoryStore store(options, clock, [](const std::string& line) { std::printf("log: %s\n", line.c_str()); });
        Generate(store, now);
    }
    std::printf("generated %lld minutes in %.1f s, one transaction each\n", static_cast<long long>(kMinutes),
                Ms(Clock::now() - t0) / 1000);
    std::printf("file size: %.1f MB\n", static_cast<double>(std::filesystem::file_size(file)) / 1e6);

    HistoryReader reader(file);
    const int64_t from = now - ChartSpanSeconds(ChartSpan::Month);
    const int64_t step = ChartStepSeconds(ChartSpan::Month);
    size_t points = 0, outages = 0;
    const double chart = MedianMs(21, [&] {
        const auto p = reader.Points(from, now, step);
        const auto o = reader.Events(from, now, HistoryEventKind::MainsFailure);
        points = p.size();
        outages = o.size();
        LayoutHistoryChart(p, o, from, now, step);
    });
    std::printf("30-day chart (%zu points, %zu outages, query and layout): median %.1f ms\n", points, outages, chart);
    const double feed = MedianMs(11, [&] { points = reader.Points(now - 7 * 86400, now, 60).size(); });
    std::printf("feed of 7 days at 60 s (%zu points): median %.1f ms\n", points, feed);
    HistoryAccess access;
    access.reader = &reader;
    access.nowUtc = now;
    access.utcOffsetMinutes = 60;
    size_t bytes = 0;
    for (const char* query : {"", "from=2026-12-16T12:00:00Z&step=3600"}) {
        const double answer = MedianMs(11, [&] { bytes = HistoryAnswer(HistoryDocument::Json, query, access).body.size(); });
        std::printf("/history.json?%s (%zu bytes): median %.1f ms\n", query, bytes, answer);
    }
    return 0;
}
