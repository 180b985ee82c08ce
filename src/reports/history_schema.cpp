#include "reports/history_schema.h"

#include <sqlite3.h>

#include <array>
#include <string>

#include "reports/history_rows.h"

namespace velt {

namespace {

// ", <stem>_min <pattern>, ..." with each column's name for "%" in `pattern`.
std::string EachValueColumn(const std::string& pattern) {
    std::string columns;
    for (const char* stem : kHistoryColumns)
        for (const char* stat : {"_min", "_avg", "_max"}) {
            std::string column = pattern;
            for (size_t at; (at = column.find('%')) != std::string::npos;)
                column.replace(at, 1, std::string(stem) + stat);
            columns += ", " + column;
        }
    return columns;
}

std::string MinuteColumns() { return EachValueColumn("% REAL"); }

// 1: the minutes. The minute's first second is the key, so the table is kept
// in time order and needs no other index.
std::string MinutesStep() {
    return "CREATE TABLE minutes (minute INTEGER PRIMARY KEY, utc_offset INTEGER NOT NULL" + MinuteColumns() +
           ", on_battery_seconds INTEGER NOT NULL DEFAULT 0, readings INTEGER NOT NULL DEFAULT 0)";
}

// 2: the events, by their start.
std::string EventsStep() {
    return "CREATE TABLE events (id INTEGER PRIMARY KEY, kind TEXT NOT NULL, start_time INTEGER NOT NULL,"
           " end_time INTEGER, duration_seconds INTEGER, utc_offset INTEGER NOT NULL,"
           " lowest_battery_voltage REAL, lowest_charge REAL, action TEXT NOT NULL DEFAULT '',"
           " details TEXT NOT NULL DEFAULT '');"
           "CREATE INDEX events_by_start ON events (start_time)";
}

// 3: what a mains failure keeps for the runtime: the charge it began with
// and its load's average.
std::string DischargeStep() {
    return "ALTER TABLE events ADD COLUMN start_charge REAL;"
           "ALTER TABLE events ADD COLUMN average_load REAL";
}

// 4: an event that lasts is written when it begins and again as it changes
// and ends: one row per kind and start, the latest standing.
std::string OneRowPerEventStep() {
    return "DELETE FROM events WHERE id NOT IN (SELECT max(id) FROM events GROUP BY kind, start_time);"
           "CREATE UNIQUE INDEX events_once ON events (kind, start_time)";
}

// 5: the minutes kept as whole hundredths, which SQLite stores in two bytes
// where a real number takes eight: 400 days fit in half the room. The view
// "minutes" gives them as before, for the reader and for anyone's SQL.
std::string HundredthsStep() {
    return "CREATE TABLE minute_rows (minute INTEGER PRIMARY KEY, utc_offset INTEGER NOT NULL" +
           EachValueColumn("% INTEGER") +
           ", on_battery_seconds INTEGER NOT NULL DEFAULT 0, readings INTEGER NOT NULL DEFAULT 0);"
           "INSERT INTO minute_rows SELECT minute, utc_offset" + EachValueColumn("CAST(round(% * 100) AS INTEGER)") +
           ", on_battery_seconds, readings FROM minutes;"
           "DROP TABLE minutes;"
           "CREATE VIEW minutes AS SELECT minute, utc_offset" + EachValueColumn("% / 100.0 AS %") +
           ", on_battery_seconds, readings FROM minute_rows";
}

// 6: the outbox: each alert written before it is sent, so that one queued
// survives an exit or a crash. The index finds each channel's oldest waiting
// message, which holds the channel's order.
std::string OutboxStep() {
    return "CREATE TABLE outbox (id INTEGER PRIMARY KEY, channel TEXT NOT NULL, message_id TEXT NOT NULL UNIQUE,"
           " created INTEGER NOT NULL, utc_offset INTEGER NOT NULL, subject TEXT NOT NULL DEFAULT '',"
           " body TEXT NOT NULL DEFAULT '', attempts INTEGER NOT NULL DEFAULT 0, next_try INTEGER NOT NULL,"
           " last_error TEXT NOT NULL DEFAULT '', state TEXT NOT NULL DEFAULT 'waiting'"
           " CHECK (state IN ('waiting', 'sent', 'refused', 'expired')));"
           "CREATE INDEX outbox_by_channel ON outbox (state, channel, id)";
}

using Step = std::string (*)();
constexpr std::array<Step, 6> kSteps = {MinutesStep,        EventsStep,     DischargeStep,
                                        OneRowPerEventStep, HundredthsStep, OutboxStep};

int64_t CheckedVersion(SqliteDb& db) {
    const int64_t version = db.Integer("PRAGMA user_version");
    if (version < 0 || version > static_cast<int64_t>(kSteps.size()))
        throw SqliteError(SQLITE_MISMATCH, "of an unknown, newer schema (version " + std::to_string(version) + ")");
    return version;
}

}  // namespace

int HistorySchemaVersion() { return static_cast<int>(kSteps.size()); }

void MigrateHistory(SqliteDb& db) {
    if (CheckedVersion(db) == HistorySchemaVersion()) return;
    // The history's writer and the outbox may open a file at once: each step
    // reads the version again under its transaction's write lock, so a step
    // the other connection just made is not made twice.
    for (;;) {
        SqliteTransaction step(db);
        const int64_t version = CheckedVersion(db);
        if (version == HistorySchemaVersion()) return;
        db.Exec(kSteps[static_cast<size_t>(version)]());
        db.Exec("PRAGMA user_version = " + std::to_string(version + 1));
        step.Commit();
    }
}

}  // namespace velt
