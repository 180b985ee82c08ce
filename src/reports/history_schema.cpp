#include "reports/history_schema.h"

#include <sqlite3.h>

#include <array>
#include <string>

#include "reports/history_rows.h"

namespace velt {

namespace {

std::string MinuteColumns() {
    std::string columns;
    for (const char* stem : kHistoryColumns)
        for (const char* stat : {"_min", "_avg", "_max"}) columns += std::string(", ") + stem + stat + " REAL";
    return columns;
}

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

using Step = std::string (*)();
constexpr std::array<Step, 3> kSteps = {MinutesStep, EventsStep, DischargeStep};

}  // namespace

int HistorySchemaVersion() { return static_cast<int>(kSteps.size()); }

void MigrateHistory(SqliteDb& db) {
    const int64_t version = db.Integer("PRAGMA user_version");
    if (version < 0 || version > HistorySchemaVersion())
        throw SqliteError(SQLITE_MISMATCH, "of an unknown, newer schema (version " + std::to_string(version) + ")");
    for (int64_t next = version; next < HistorySchemaVersion(); ++next) {
        SqliteTransaction step(db);
        db.Exec(kSteps[static_cast<size_t>(next)]());
        db.Exec("PRAGMA user_version = " + std::to_string(next + 1));
        step.Commit();
    }
}

}  // namespace velt
