#include "reports/history_store.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <system_error>
#include <utility>

#include "core/date_time_text.h"
#include "reports/history_schema.h"

namespace velt {

namespace {

std::string MinuteInsertSql() {
    std::string columns = "minute, utc_offset", values = "?, ?";
    for (const char* stem : kHistoryColumns)
        for (const char* stat : {"_min", "_avg", "_max"}) {
            columns += std::string(", ") + stem + stat;
            values += ", ?";
        }
    // A clock set back repeats a minute: its later row stands.
    return "INSERT OR REPLACE INTO minute_rows (" + columns + ", on_battery_seconds, readings) VALUES (" + values +
           ", ?, ?)";
}

constexpr const char* kEventInsertSql =
    "INSERT OR REPLACE INTO events (kind, start_time, end_time, duration_seconds, utc_offset, lowest_battery_voltage,"
    " lowest_charge, action, details, start_charge, average_load) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// A value as the file keeps it, in whole hundredths; none for one that is no
// number or beyond any reading.
std::optional<int64_t> Hundredths(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e12) return std::nullopt;
    return std::llround(value * 100);
}

void BindMinute(SqliteStatement& insert, const MinuteRow& row) {
    int index = 1;
    insert.Bind(index++, std::optional<int64_t>(row.minuteUtc));
    insert.Bind(index++, std::optional<int64_t>(row.utcOffsetMinutes));
    for (const std::optional<MinuteStats>& stats : row.values) {
        for (double MinuteStats::*stat : {&MinuteStats::min, &MinuteStats::avg, &MinuteStats::max})
            insert.Bind(index++, stats ? Hundredths((*stats).*stat) : std::nullopt);
    }
    insert.Bind(index++, std::optional<int64_t>(row.onBatterySeconds));
    insert.Bind(index, std::optional<int64_t>(row.readings));
}

void BindEvent(SqliteStatement& insert, const EventRow& row) {
    insert.Bind(1, std::string(HistoryEventKindName(row.kind)));
    insert.Bind(2, std::optional<int64_t>(row.startUtc));
    insert.Bind(3, row.endUtc);
    insert.Bind(4, row.endUtc ? std::optional<int64_t>(*row.endUtc - row.startUtc) : std::nullopt);
    insert.Bind(5, std::optional<int64_t>(row.utcOffsetMinutes));
    insert.Bind(6, row.lowestBatteryVolts);
    insert.Bind(7, row.lowestCharge);
    insert.Bind(8, row.action);
    insert.Bind(9, row.details);
    insert.Bind(10, row.startCharge);
    insert.Bind(11, row.averageLoad);
}

void RunOnce(SqliteDb& db, SqliteStatement& insert) {
    SqliteTransaction transaction(db);
    insert.Step();
    transaction.Commit();
}

bool SameDay(const LocalDateTime& a, const LocalDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

}  // namespace

HistoryStore::HistoryStore(HistoryStoreOptions options, const IClock& clock, HistoryLogLine log)
    : options_(std::move(options)), clock_(clock), log_(std::move(log)) {}

HistoryStore::~HistoryStore() { Close(); }

bool HistoryStore::Open() {
    return Attempt([] {});
}

bool HistoryStore::WriteMinute(const MinuteRow& row) {
    return Attempt([&] {
        insertMinute_->Reset();
        BindMinute(*insertMinute_, row);
        RunOnce(*db_, *insertMinute_);
    });
}

bool HistoryStore::WriteEvent(const EventRow& row) {
    return Attempt([&] {
        insertEvent_->Reset();
        BindEvent(*insertEvent_, row);
        RunOnce(*db_, *insertEvent_);
    });
}

bool HistoryStore::PruneIfDue(int historyDays) {
    const LocalDateTime now = clock_.Now();
    if (prunedOn_ && SameDay(*prunedOn_, now)) return true;
    const int64_t cutoff = UnixSeconds(now) - static_cast<int64_t>(ClampHistoryDays(historyDays)) * 86400;
    if (!Attempt([&] { Prune(cutoff); })) return false;
    prunedOn_ = now;
    return true;
}

// Events go with the minutes of their time: one that ended (or, still
// open, began) before the cut; so do the alerts done with (sent or given up).
void HistoryStore::Prune(int64_t cutoffUtc) {
    SqliteTransaction transaction(*db_);
    db_->Exec("DELETE FROM minute_rows WHERE minute < " + std::to_string(cutoffUtc));
    db_->Exec("DELETE FROM events WHERE coalesce(end_time, start_time) < " + std::to_string(cutoffUtc));
    db_->Exec("DELETE FROM outbox WHERE state <> 'waiting' AND created < " + std::to_string(cutoffUtc));
    transaction.Commit();
}

// Runs `body` on an open file, opening it first when needed; once more on
// the new file when a damaged one was moved aside.
bool HistoryStore::Attempt(const std::function<void()>& body) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            if (!db_) OpenFile();
            body();
            troubleLogged_ = false;
            return true;
        } catch (const SqliteError& e) {
            if (!Fail(e)) return false;
        } catch (const std::exception& e) {  // the folder or a rename refused
            Close();
            Trouble(e.what());
            return false;
        }
    }
    return false;
}

void HistoryStore::OpenFile() {
    std::error_code ignored;  // a folder that cannot be made fails the open below
    std::filesystem::create_directories(options_.file.parent_path(), ignored);
    auto db = std::make_unique<SqliteDb>(options_.file);
    Configure(*db);
    MigrateHistory(*db);
    EndWhatWasLeftOpen(*db);
    auto minute = std::make_unique<SqliteStatement>(*db, MinuteInsertSql());
    auto event = std::make_unique<SqliteStatement>(*db, kEventInsertSql);
    db_ = std::move(db);
    insertMinute_ = std::move(minute);
    insertEvent_ = std::move(event);
}

// Events a killed or crashed program left without an end end with the last
// minute it wrote after their start (or at their start), so they are not
// taken for lasting still.
void HistoryStore::EndWhatWasLeftOpen(SqliteDb& db) {
    db.Exec("UPDATE events SET end_time = max(start_time, coalesce((SELECT max(minute) + 60 FROM minutes"
            " WHERE minute >= events.start_time), start_time)) WHERE end_time IS NULL"
            " AND kind NOT IN ('program_start', 'program_exit', 'power_action');"
            "UPDATE events SET duration_seconds = end_time - start_time WHERE end_time IS NOT NULL"
            " AND duration_seconds IS NULL");
}

// WAL with synchronous=NORMAL: a process killed mid-write loses at most the
// transaction under way, and a commit costs no wait for the disk.
void HistoryStore::Configure(SqliteDb& db) const {
    db.Exec("PRAGMA busy_timeout = " + std::to_string(options_.busyTimeout.count()));
    const std::string check = db.Text("PRAGMA quick_check");
    if (check != "ok") throw SqliteError(SQLITE_CORRUPT, "quick check: " + check);
    db.Text("PRAGMA journal_mode = WAL");
    db.Exec("PRAGMA synchronous = NORMAL");
    // Rows are appended a minute at a time: a small cache holds the pages
    // they touch; SQLite's default would grow to 2 MB over the months.
    db.Exec("PRAGMA cache_size = -256");
    if (options_.maxFileBytes) {
        const int64_t pageSize = db.Integer("PRAGMA page_size");
        db.Integer("PRAGMA max_page_count = " + std::to_string(*options_.maxFileBytes / pageSize));
    }
}

// True when a new file was started in place of a damaged one.
bool HistoryStore::Fail(const SqliteError& error) {
    if (error.Passing() && db_) {
        Trouble(error.what());
        return false;
    }
    std::error_code unknown;
    const bool damaged =
        error.Damaged() || (error.Unopenable() && std::filesystem::is_regular_file(options_.file, unknown));
    Close();
    if (damaged) return MoveAsideAndRestart(error.what());
    Trouble(error.what());
    return false;
}

bool HistoryStore::MoveAsideAndRestart(const std::string& why) {
    const std::filesystem::path aside = AsideName();
    try {
        std::filesystem::rename(options_.file, aside);
        // The journal of the old file must not be played into the new one.
        for (const char* suffix : {"-wal", "-shm"}) {
            std::filesystem::path from = options_.file, to = aside;
            from += suffix;
            to += suffix;
            std::error_code absent;
            std::filesystem::rename(from, to, absent);
        }
        OpenFile();
    } catch (const std::exception& e) {
        Close();
        Trouble("damaged (" + why + ") and not replaced: " + e.what());
        return false;
    }
    troubleLogged_ = false;
    log_("History database damaged (" + why + "): kept as " + aside.filename().string() + ", a new one started");
    return true;
}

std::filesystem::path HistoryStore::AsideName() const {
    const LocalDateTime t = clock_.Now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, ".bad-%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::filesystem::path aside = options_.file;
    aside += stamp;
    for (int n = 2; std::filesystem::exists(aside); ++n) {
        aside = options_.file;
        aside += std::string(stamp) + "-" + std::to_string(n);
    }
    return aside;
}

void HistoryStore::Close() {
    insertMinute_.reset();
    insertEvent_.reset();
    db_.reset();
}

void HistoryStore::Trouble(const std::string& what) {
    if (troubleLogged_) return;
    troubleLogged_ = true;
    log_("History database not written (" + what + "); monitoring goes on and it is tried again later");
}

}  // namespace velt
