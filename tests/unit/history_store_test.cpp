#include "reports/history_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "core/date_time_text.h"
#include "reports/history_schema.h"
#include "reports/history_writer.h"

namespace velt {
namespace {

namespace fs = std::filesystem;

const LocalDateTime kNow{2027, 1, 15, 12, 0, 0, 0, 0};

struct FixedClock : IClock {
    LocalDateTime now = kNow;
    LocalDateTime Now() const override { return now; }
    uint64_t MonotonicMs() const override { return 0; }
};

// Lines from whichever thread the store runs on.
struct Lines {
    std::mutex mutex;
    std::vector<std::string> lines;
    HistoryLogLine Sink() {
        return [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(line);
        };
    }
    std::vector<std::string> Taken() {
        std::lock_guard<std::mutex> lock(mutex);
        return lines;
    }
};

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Random bytes over `count` bytes from `at`; the file is made when missing.
void Overwrite(const fs::path& file, std::streamoff at, size_t count) {
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    if (!out) out.open(file, std::ios::binary | std::ios::out);
    out.seekp(at);
    std::mt19937 random(7);
    for (size_t i = 0; i < count; ++i) out.put(static_cast<char>(random()));
}

EventRow Event(HistoryEventKind kind, int64_t start, std::optional<int64_t> end = std::nullopt) {
    EventRow row;
    row.kind = kind;
    row.startUtc = start;
    row.endUtc = end;
    return row;
}

class HistoryFile : public ::testing::Test {
protected:
    HistoryFile() {
        const auto tag = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ = fs::temp_directory_path() / ("veltrano-history-" + std::to_string(tag));
        file_ = folder_ / "Veltrano" / "history.db";  // the folder is the store's to make
    }
    ~HistoryFile() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::unique_ptr<HistoryStore> Store(std::optional<int64_t> maxBytes = std::nullopt,
                                        std::chrono::milliseconds busy = std::chrono::milliseconds(2000)) {
        return std::make_unique<HistoryStore>(HistoryStoreOptions{file_, busy, maxBytes}, clock_, lines_.Sink());
    }
    int64_t Query(const std::string& sql) {
        SqliteDb db(file_);
        return db.Integer(sql);
    }
    static MinuteRow Minute(int64_t utc, double volts = 230) {
        MinuteRow row;
        row.minuteUtc = utc;
        row.values[0] = MinuteStats{volts - 1, volts, volts + 1};
        row.readings = 60;
        return row;
    }

    fs::path folder_, file_;
    FixedClock clock_;
    Lines lines_;
    const int64_t now_ = UnixSeconds(kNow);
};

// A lasting event is handed on at its start and again whole; a program
// killed in between leaves its start, ended at its last minute on reopening.
TEST_F(HistoryFile, AnEventKeepsOneRowAndOneLeftOpenIsEndedAtTheNextOpening) {
    {
        auto store = Store();
        ASSERT_TRUE(store->WriteEvent(Event(HistoryEventKind::MainsFailure, now_)));
        ASSERT_TRUE(store->WriteEvent(Event(HistoryEventKind::MainsFailure, now_, now_ + 90)));
        ASSERT_TRUE(store->WriteEvent(Event(HistoryEventKind::Avr, now_ + 200)));
        ASSERT_TRUE(store->WriteEvent(Event(HistoryEventKind::ProgramStart, now_ + 200)));
        for (int64_t m : {now_ + 180, now_ + 240}) ASSERT_TRUE(store->WriteMinute(Minute(m)));
    }
    EXPECT_EQ(Query("SELECT count(*) FROM events WHERE kind = 'mains_failure'"), 1);
    EXPECT_EQ(Query("SELECT end_time FROM events WHERE kind = 'mains_failure'"), now_ + 90);
    ASSERT_TRUE(Store()->Open());
    EXPECT_EQ(Query("SELECT end_time FROM events WHERE kind = 'avr'"), now_ + 300);
    EXPECT_EQ(Query("SELECT duration_seconds FROM events WHERE kind = 'avr'"), 100);
    EXPECT_EQ(Query("SELECT count(*) FROM events WHERE kind = 'program_start' AND end_time IS NULL"), 1);
}

TEST_F(HistoryFile, RowsReachTheFileInWalModeAndStayAcrossOpenings) {
    {
        auto store = Store();
        ASSERT_TRUE(store->Open());
        EXPECT_TRUE(store->WriteMinute(Minute(now_)));
        EventRow outage{HistoryEventKind::MainsFailure, now_, now_ + 95, 60, 22.8, 41.5, {}, {}, "shutdown", ""};
        EXPECT_TRUE(store->WriteEvent(outage));
    }
    EXPECT_TRUE(Store()->WriteMinute(Minute(now_ + 60)));
    EXPECT_EQ(Query("PRAGMA user_version"), HistorySchemaVersion());
    EXPECT_EQ(SqliteDb(file_).Text("PRAGMA journal_mode"), "wal");
    EXPECT_EQ(Query("SELECT count(*) FROM minutes WHERE input_voltage_min = 229 AND input_voltage_max = 231"
                    " AND load_avg IS NULL AND readings = 60"),
              2);
    EXPECT_EQ(Query("SELECT duration_seconds FROM events WHERE kind = 'mains_failure' AND action = 'shutdown'"
                    " AND lowest_charge = 41.5 AND utc_offset = 60"),
              95);
    EXPECT_TRUE(lines_.Taken().empty());
}

TEST_F(HistoryFile, AVersionOneFileIsMigratedWithItsMinutes) {
    fs::create_directories(file_.parent_path());
    {
        // The first schema: the minutes only.
        SqliteDb old(file_);
        std::string columns;
        for (const char* stem : kHistoryColumns) columns += std::string(", ") + stem + "_min REAL, " + stem +
                                                            "_avg REAL, " + stem + "_max REAL";
        old.Exec("CREATE TABLE minutes (minute INTEGER PRIMARY KEY, utc_offset INTEGER NOT NULL" + columns +
                 ", on_battery_seconds INTEGER NOT NULL DEFAULT 0, readings INTEGER NOT NULL DEFAULT 0);"
                 "INSERT INTO minutes (minute, utc_offset, load_avg) VALUES (1800000000, 60, 33);"
                 "PRAGMA user_version = 1");
    }
    auto store = Store();
    ASSERT_TRUE(store->Open());
    EXPECT_TRUE(store->WriteEvent(Event(HistoryEventKind::ProgramStart, now_)));
    EXPECT_EQ(Query("PRAGMA user_version"), HistorySchemaVersion());
    EXPECT_EQ(Query("SELECT load_avg FROM minutes WHERE minute = 1800000000"), 33);
    EXPECT_EQ(Query("SELECT count(*) FROM pragma_table_info('events') WHERE name IN ('kind', 'start_time',"
                    " 'end_time', 'duration_seconds', 'lowest_battery_voltage', 'lowest_charge', 'action')"),
              7);
    EXPECT_EQ(Query("SELECT count(*) FROM pragma_index_list('events') WHERE name = 'events_by_start'"), 1);
}

TEST_F(HistoryFile, AFileOfANewerSchemaIsLeftAloneAndNotWritten) {
    fs::create_directories(file_.parent_path());
    SqliteDb(file_).Exec("CREATE TABLE minutes (minute INTEGER PRIMARY KEY); PRAGMA user_version = 9");
    auto store = Store();
    EXPECT_FALSE(store->Open());
    EXPECT_FALSE(store->WriteMinute(Minute(now_)));
    EXPECT_EQ(lines_.Taken().size(), 1u);
    EXPECT_EQ(Query("PRAGMA user_version"), 9);
    EXPECT_EQ(std::distance(fs::directory_iterator(file_.parent_path()), {}), 1);  // no file moved aside
}

TEST_F(HistoryFile, OldRowsGoOnceADayAfterHistoryDays) {
    constexpr int64_t kDay = 86400;
    auto store = Store();
    for (int64_t age : {8 * kDay, 6 * kDay}) store->WriteMinute(Minute(now_ - age));
    store->WriteEvent(Event(HistoryEventKind::Avr, now_ - 9 * kDay, now_ - 8 * kDay));  // ended before the cut
    store->WriteEvent(Event(HistoryEventKind::LinkLost, now_ - 9 * kDay, now_ - 5 * kDay));  // ended after it
    store->WriteEvent(Event(HistoryEventKind::UpsFault, now_ - 8 * kDay));  // still open, began before it
    // Old alerts go once done with; one still waiting stays, whatever its age.
    for (const char* state : {"sent", "refused", "waiting"})
        SqliteDb(file_).Exec(std::string("INSERT INTO outbox (channel, message_id, created, utc_offset, subject, body,"
                                         " next_try, state) VALUES ('e-mail', '") +
                             state + "', " + std::to_string(now_ - 8 * kDay) + ", 0, 's', 'b', 0, '" + state + "')");
    // One day under the range counts as its least: seven days.
    ASSERT_TRUE(store->PruneIfDue(1));
    EXPECT_EQ(Query("SELECT count(*) FROM outbox"), 1);
    EXPECT_EQ(Query("SELECT count(*) FROM minutes"), 1);
    EXPECT_EQ(Query("SELECT count(*) FROM events WHERE kind = 'link_lost'"), 1);
    EXPECT_EQ(Query("SELECT count(*) FROM events"), 1);

    store->WriteMinute(Minute(now_ - 10 * kDay));
    store->PruneIfDue(7);
    EXPECT_EQ(Query("SELECT count(*) FROM minutes"), 2) << "a second removal on the same day";
    clock_.now.day += 1;
    store->PruneIfDue(7);
    EXPECT_EQ(Query("SELECT count(*) FROM minutes"), 1);
}

struct Damage {
    const char* name;
    void (*make)(const fs::path& file);
};

const Damage kDamages[] = {
    {"RandomBytes",
     [](const fs::path& file) {
         Overwrite(file, 0, 8192);
         Overwrite(fs::path(file) += "-wal", 0, 100);  // nor is its journal to be played into the new file
     }},
    {"DamagedPages",
     [](const fs::path& file) {
         {
             SqliteDb db(file);
             db.Exec("PRAGMA journal_mode = DELETE; CREATE TABLE t (x TEXT);"
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                     " INSERT INTO t SELECT printf('%.80d', i) FROM n");
         }
         Overwrite(file, 3 * 4096, 2000);
     }},
};

class DamagedHistoryFile : public HistoryFile, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedHistoryFile, IsKeptAsideAndANewOneStartedWithOneLine) {
    fs::create_directories(file_.parent_path());
    GetParam().make(file_);
    const std::string damaged = Bytes(file_);
    auto store = Store();
    EXPECT_TRUE(store->WriteMinute(Minute(now_)));

    const fs::path aside = fs::path(file_) += ".bad-20270115-120000";
    EXPECT_EQ(Bytes(aside), damaged);
    const std::vector<std::string> lines = lines_.Taken();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("kept as history.db.bad-20270115-120000, a new one started"), std::string::npos)
        << lines[0];
    EXPECT_EQ(Query("SELECT count(*) FROM minutes"), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedHistoryFile, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HistoryFile, AFullFileRefusesWritesWithOneLineAndNoHarm) {
    // The empty schema's pages and a few for minutes.
    auto store = Store(9 * 4096);
    int written = 0;
    for (int i = 0; i < 200; ++i) written += store->WriteMinute(Minute(now_ + 60 * i));
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 200);
    const std::vector<std::string> lines = lines_.Taken();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("full"), std::string::npos) << lines[0];
    EXPECT_EQ(Query("SELECT count(*) FROM minutes"), written);
}

TEST_F(HistoryFile, ALockedFileIsLoggedOnceAndWrittenAgainWhenFreed) {
    Store()->Open();
    SqliteDb other(file_);
    other.Exec("BEGIN EXCLUSIVE");
    auto store = Store(std::nullopt, std::chrono::milliseconds(20));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(store->WriteMinute(Minute(now_ + 60 * i)));
    EXPECT_EQ(lines_.Taken().size(), 1u);
    other.Exec("COMMIT");
    EXPECT_TRUE(store->WriteMinute(Minute(now_)));
    // A new spell of trouble is told again.
    other.Exec("BEGIN EXCLUSIVE");
    EXPECT_FALSE(store->WriteMinute(Minute(now_ + 60)));
    other.Exec("COMMIT");
    EXPECT_EQ(lines_.Taken().size(), 2u);
}

TEST_F(HistoryFile, TheWriterDrainsItsQueueOnStop) {
    HistoryWriter writer(Store(), {});
    for (int i = 0; i < 300; ++i) writer.Enqueue(Minute(now_ + 60 * i));
    writer.Enqueue(Event(HistoryEventKind::ProgramExit, now_));
    EXPECT_EQ(writer.Stop(std::chrono::seconds(20)), 0u);
    EXPECT_EQ(writer.Dropped(), 0u);
    EXPECT_EQ(Query("SELECT count(*) FROM minutes"), 300);
    EXPECT_EQ(Query("SELECT count(*) FROM events WHERE kind = 'program_exit'"), 1);
}

TEST_F(HistoryFile, AFullQueueDropsItsOldestWithoutWaitingForTheDisk) {
    Store()->Open();
    SqliteDb other(file_);
    other.Exec("BEGIN EXCLUSIVE");
    HistoryWriter writer(Store(std::nullopt, std::chrono::milliseconds(300)), {8, kHistoryDaysDefault});
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) writer.Enqueue(Minute(now_ + 60 * i));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_GE(writer.Dropped(), 50u - 8u - 1u);
    other.Exec("COMMIT");
    EXPECT_EQ(writer.Stop(std::chrono::seconds(20)), 0u);
    EXPECT_EQ(Query("SELECT count(*) FROM minutes WHERE minute = " + std::to_string(now_ + 60 * 49)), 1);
    EXPECT_LE(Query("SELECT count(*) FROM minutes"), 9);
}

}  // namespace
}  // namespace velt
