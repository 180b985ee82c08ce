#include "reports/history_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "reports/history_schema.h"
#include "reports/history_store.h"

namespace velt {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kT0 = 1800000000;  // a multiple of 3600
constexpr size_t kVolts = static_cast<size_t>(HistoryQuantity::InputVoltage);
constexpr size_t kLoad = static_cast<size_t>(HistoryQuantity::Load);

struct StillClock : IClock {
    LocalDateTime Now() const override { return {2027, 1, 15, 12, 0, 0, 0, 0}; }
    uint64_t MonotonicMs() const override { return 0; }
};

MinuteRow Minute(int64_t utc, std::optional<double> volts, int offset = 60, int onBattery = 0) {
    MinuteRow row;
    row.minuteUtc = utc;
    row.utcOffsetMinutes = offset;
    if (volts) row.values[kVolts] = MinuteStats{*volts - 2, *volts, *volts + 3};
    row.values[kLoad] = MinuteStats{10, 20, 30};
    row.onBatterySeconds = onBattery;
    row.readings = 60;
    return row;
}

EventRow Event(HistoryEventKind kind, int64_t start, std::optional<int64_t> end) {
    EventRow row;
    row.kind = kind;
    row.startUtc = start;
    row.endUtc = end;
    return row;
}

EventRow Outage(int64_t start, std::optional<int64_t> end, std::optional<double> startCharge, double lowest,
                std::optional<double> load) {
    EventRow row = Event(HistoryEventKind::MainsFailure, start, end);
    row.startCharge = startCharge;
    row.lowestCharge = lowest;
    row.averageLoad = load;
    return row;
}

class HistoryReaderTest : public ::testing::Test {
protected:
    static fs::path NewFolder() {
        const auto tag = std::chrono::steady_clock::now().time_since_epoch().count();
        return fs::temp_directory_path() / ("veltrano-reader-" + std::to_string(tag));
    }
    ~HistoryReaderTest() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    HistoryStore& Store() {
        HistoryStoreOptions options;
        options.file = file_;
        if (!store_) store_ = std::make_unique<HistoryStore>(options, clock_, [](auto&) {});
        return *store_;
    }
    void Write(const std::vector<MinuteRow>& minutes, const std::vector<EventRow>& events = {}) {
        for (const MinuteRow& row : minutes) ASSERT_TRUE(Store().WriteMinute(row));
        for (const EventRow& row : events) ASSERT_TRUE(Store().WriteEvent(row));
    }

    const fs::path folder_ = NewFolder(), file_ = folder_ / "history.db";
    StillClock clock_;
    std::unique_ptr<HistoryStore> store_;
    HistoryReader reader_{file_};
};

TEST_F(HistoryReaderTest, AMissingFileReadsEmptyAndIsReadOnceItAppears) {
    EXPECT_TRUE(reader_.Points(kT0, kT0 + 3600, 60).empty());
    EXPECT_TRUE(reader_.Events(kT0, kT0 + 3600).empty());
    EXPECT_TRUE(reader_.Discharges().empty());
    EXPECT_FALSE(fs::exists(file_)) << "a reader never makes the file";
    Write({Minute(kT0, 230)});
    EXPECT_EQ(reader_.Minutes(kT0, kT0 + 3600), std::vector<MinuteRow>{Minute(kT0, 230)});
}

TEST_F(HistoryReaderTest, PointsFoldTheMinutesOfEachAlignedStep) {
    Write({Minute(kT0 - 60, 100),                          // before the span
           Minute(kT0 + 60, 220, 60), Minute(kT0 + 120, 230, 120, 15), Minute(kT0 + 240, std::nullopt, 120, 60),
           Minute(kT0 + 900, 240, 60),                      // a bucket later, one empty between
           Minute(kT0 + 1200, 250)});                       // at the span's end: outside
    const std::vector<HistoryPoint> points = reader_.Points(kT0 + 30, kT0 + 1200, 300);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].timeUtc, kT0);
    EXPECT_EQ(points[0].utcOffsetMinutes, 60) << "the offset of the bucket's first minute";
    EXPECT_EQ(points[0].onBatterySeconds, 75);
    EXPECT_EQ(points[0].values[kVolts], (MinuteStats{218, 225, 233}));
    EXPECT_EQ(points[0].values[kLoad], (MinuteStats{10, 20, 30}));
    EXPECT_FALSE(points[0].values[static_cast<size_t>(HistoryQuantity::Charge)]);
    EXPECT_EQ(points[1].timeUtc, kT0 + 900);
    EXPECT_EQ(points[1].values[kVolts], (MinuteStats{238, 240, 243}));
}

TEST_F(HistoryReaderTest, AFineStepOverALongSpanIsWidenedToFit) {
    struct Case {
        int64_t from, to, step, expected;
    };
    const Case cases[] = {
        {0, 600000, 60, 60},          // exactly 10,000 minutes
        {30, 600030, 60, 120},        // straddling: 10,001 buckets
        {0, 86400 * 8, 60, 120},      // 11,520 minutes
        {0, 86400 * 30, 1, 300},      // under a minute asks for a minute first
        {0, 86400 * 30, 3600, 3600},
        {0, 0, 60, 60},
    };
    for (const Case& c : cases) EXPECT_EQ(FittingStep(c.from, c.to, c.step), c.expected) << c.from << ".." << c.to;

    std::vector<MinuteRow> minutes;
    for (int64_t m = 0; m < 12000; m += 7) minutes.push_back(Minute(kT0 + m * 60, 230));
    Write(minutes);
    EXPECT_LE(reader_.Points(kT0, kT0 + 12000 * 60, 60).size(), kHistoryMaxPoints);
}

TEST_F(HistoryReaderTest, EventsOverlappingTheSpanComeByStart) {
    const int64_t from = kT0, to = kT0 + 3600;
    Write({}, {Event(HistoryEventKind::Avr, from - 900, from - 600),        // over before
               Event(HistoryEventKind::UpsFault, from - 9000, std::nullopt),  // open, but not the newest fault
               Event(HistoryEventKind::UpsFault, from + 60, from + 120),
               Event(HistoryEventKind::MainsFailure, from - 300, std::nullopt),  // under way
               Event(HistoryEventKind::Avr, from - 60, from + 30),
               Event(HistoryEventKind::ProgramStart, from + 10, std::nullopt),
               Event(HistoryEventKind::ProgramExit, to, std::nullopt)});  // at the end: outside
    std::vector<std::pair<HistoryEventKind, int64_t>> got;
    for (const EventRow& e : reader_.Events(from, to)) got.emplace_back(e.kind, e.startUtc);
    const std::vector<std::pair<HistoryEventKind, int64_t>> expected = {{HistoryEventKind::MainsFailure, from - 300},
                                                                        {HistoryEventKind::Avr, from - 60},
                                                                        {HistoryEventKind::ProgramStart, from + 10},
                                                                        {HistoryEventKind::UpsFault, from + 60}};
    EXPECT_EQ(got, expected);
    const auto outages = reader_.Events(from, to, HistoryEventKind::MainsFailure);
    ASSERT_EQ(outages.size(), 1u);
    EXPECT_FALSE(outages[0].endUtc);
}

TEST_F(HistoryReaderTest, DischargesAreTheFinishedLongOutagesWithTheirCharges) {
    Write({}, {Outage(kT0 + 1000, kT0 + 1600, 100, 62, 40),
               Outage(kT0, kT0 + 90, 95, 88, 35),                  // older, listed first
               Outage(kT0 + 2000, kT0 + 2030, 100, 99, 40),        // too short
               Outage(kT0 + 3000, kT0 + 3600, std::nullopt, 50, 40),  // no charge at its start
               Outage(kT0 + 4000, kT0 + 4600, 100, 50, std::nullopt),
               Outage(kT0 + 5000, std::nullopt, 100, 50, 40)});     // still under way
    const std::vector<Discharge> expected = {{90, 95, 88, 35}, {600, 100, 62, 40}};
    EXPECT_EQ(reader_.Discharges(60), expected);
    EXPECT_EQ(reader_.Discharges(300).size(), 1u);
}

TEST_F(HistoryReaderTest, AVersionTwoFileGainsTheDischargeColumnsAndKeepsItsRows) {
    fs::create_directories(folder_);
    {
        SqliteDb old(file_);
        std::string columns;
        for (const char* stem : kHistoryColumns)
            columns += std::string(", ") + stem + "_min REAL, " + stem + "_avg REAL, " + stem + "_max REAL";
        old.Exec("CREATE TABLE minutes (minute INTEGER PRIMARY KEY, utc_offset INTEGER NOT NULL" + columns +
                 ", on_battery_seconds INTEGER NOT NULL DEFAULT 0, readings INTEGER NOT NULL DEFAULT 0);"
                 "CREATE TABLE events (id INTEGER PRIMARY KEY, kind TEXT NOT NULL, start_time INTEGER NOT NULL,"
                 " end_time INTEGER, duration_seconds INTEGER, utc_offset INTEGER NOT NULL,"
                 " lowest_battery_voltage REAL, lowest_charge REAL, action TEXT NOT NULL DEFAULT '',"
                 " details TEXT NOT NULL DEFAULT '');"
                 "CREATE INDEX events_by_start ON events (start_time);"
                 "INSERT INTO minutes (minute, utc_offset, load_avg) VALUES (1800000000, 60, 33);"
                 "INSERT INTO events (kind, start_time, end_time, duration_seconds, utc_offset, lowest_charge,"
                 " action) VALUES ('mains_failure', 1800000000, 1800000300, 300, 60, 45, 'shutdown');"
                 "PRAGMA user_version = 2");
    }
    EXPECT_TRUE(reader_.Events(kT0, kT0 + 600).empty()) << "not read before the writer brings it up to date";
    Write({}, {Outage(kT0 + 400, kT0 + 700, 97, 70, 25)});
    EXPECT_EQ(SqliteDb(file_).Integer("PRAGMA user_version"), HistorySchemaVersion());
    const std::vector<EventRow> events = reader_.Events(kT0, kT0 + 1000);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].action, "shutdown");
    EXPECT_EQ(events[0].lowestCharge, 45);
    EXPECT_FALSE(events[0].startCharge);
    EXPECT_EQ(reader_.Discharges(), (std::vector<Discharge>{{300, 97, 70, 25}}));
    EXPECT_EQ(reader_.Minutes(kT0, kT0 + 60).size(), 1u) << "the minutes kept";
}

TEST_F(HistoryReaderTest, AFileItCannotReadThrowsAndIsTriedAgainLater) {
    fs::create_directories(folder_);
    std::ofstream(file_, std::ios::binary) << std::string(4096, 'x');
    EXPECT_THROW(reader_.Points(kT0, kT0 + 60, 60), SqliteError);
    fs::remove(file_);
    SqliteDb(file_).Exec("CREATE TABLE minutes (minute INTEGER PRIMARY KEY); PRAGMA user_version = 99");
    EXPECT_THROW(reader_.Events(kT0, kT0 + 60), SqliteError);
    fs::remove(file_);
    Write({Minute(kT0, 230)});
    EXPECT_EQ(reader_.Points(kT0, kT0 + 60, 60).size(), 1u);
}

}  // namespace
}  // namespace velt
