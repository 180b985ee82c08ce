#include "reports/history_reader.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <utility>

#include "reports/history_schema.h"
#include "reports/sqlite_db.h"

namespace velt {

namespace {

// A reader waits this long at most for a writer that holds the file while
// it recovers or checkpoints; the page server's thread must not stall.
constexpr int kBusyTimeoutMs = 500;

std::optional<int64_t> Int(int64_t value) { return value; }

// "input_voltage_min, input_voltage_avg, ...", each through `wrap` when given.
std::string QuantityColumns(const char* minWrap = "", const char* avgWrap = "", const char* maxWrap = "") {
    std::string columns;
    const auto add = [&](const char* wrap, const std::string& column) {
        columns += ", " + (*wrap ? std::string(wrap) + "(" + column + ")" : column);
    };
    for (const char* stem : kHistoryColumns) {
        add(minWrap, std::string(stem) + "_min");
        add(avgWrap, std::string(stem) + "_avg");
        add(maxWrap, std::string(stem) + "_max");
    }
    return columns;
}

// The quantities' min/avg/max from column `first` on; none where any is NULL.
void ReadQuantities(const SqliteStatement& row, int first,
                    std::array<std::optional<MinuteStats>, kHistoryQuantities>& values) {
    for (size_t q = 0; q < kHistoryQuantities; ++q) {
        const int at = first + static_cast<int>(q) * 3;
        const auto min = row.Real(at), avg = row.Real(at + 1), max = row.Real(at + 2);
        values[q] = min && avg && max ? std::optional<MinuteStats>(MinuteStats{*min, *avg, *max}) : std::nullopt;
    }
}

// One bucket's minutes folded, and the first minute after it (where the
// next bucket with minutes lies). A bucket at a time along the key rather
// than one GROUP BY: grouping by a computed bucket sorts every row first,
// which costs twice the folding itself.
std::string BucketSql() {
    return "SELECT (SELECT min(minute) FROM minutes WHERE minute >= ?2 AND minute < ?3),"
           " (SELECT utc_offset FROM minutes WHERE minute >= ?1 AND minute < ?2 ORDER BY minute LIMIT 1),"
           " count(*), sum(on_battery_seconds)" +
           QuantityColumns("min", "avg", "max") + " FROM minutes WHERE minute >= ?1 AND minute < ?2";
}

std::string MinutesSql() {
    return "SELECT minute, utc_offset, on_battery_seconds, readings" + QuantityColumns() +
           " FROM minutes WHERE minute >= ?1 AND minute < ?2 ORDER BY minute";
}

// An event without an end lasts while it is the newest of its kind; an
// older one (its end lost when the program was killed) counts as a moment.
constexpr const char* kEventsSql =
    "SELECT kind, start_time, end_time, utc_offset, lowest_battery_voltage, lowest_charge, start_charge,"
    " average_load, action, details FROM events AS e WHERE start_time < ?2 AND (?3 IS NULL OR kind = ?3)"
    " AND (coalesce(end_time, start_time) >= ?1 OR (end_time IS NULL"
    " AND start_time = (SELECT max(start_time) FROM events WHERE kind = e.kind)))"
    " ORDER BY start_time, id";

constexpr const char* kDischargesSql =
    "SELECT duration_seconds, start_charge, lowest_charge, average_load FROM events"
    " WHERE kind = 'mains_failure' AND end_time IS NOT NULL AND duration_seconds >= ?1"
    " AND start_charge IS NOT NULL AND lowest_charge IS NOT NULL AND average_load IS NOT NULL"
    " ORDER BY start_time, id";

HistoryPoint PointOf(const SqliteStatement& bucket, int64_t start) {
    HistoryPoint point;
    point.timeUtc = start;
    point.utcOffsetMinutes = static_cast<int>(bucket.Integer(1));
    point.onBatterySeconds = static_cast<int>(bucket.Integer(3));
    ReadQuantities(bucket, 4, point.values);
    return point;
}

int64_t BucketCount(int64_t fromUtc, int64_t toUtc, int64_t step) {
    return toUtc <= fromUtc ? 0 : (toUtc - 1) / step - fromUtc / step + 1;
}

std::optional<EventRow> EventOf(const SqliteStatement& row) {
    const auto kind = HistoryEventKindFromName(row.Text(0));
    if (!kind) return std::nullopt;  // written by a newer program
    EventRow event;
    event.kind = *kind;
    event.startUtc = row.Integer(1);
    if (row.Real(2)) event.endUtc = row.Integer(2);
    event.utcOffsetMinutes = static_cast<int>(row.Integer(3));
    event.lowestBatteryVolts = row.Real(4);
    event.lowestCharge = row.Real(5);
    event.startCharge = row.Real(6);
    event.averageLoad = row.Real(7);
    event.action = row.Text(8);
    event.details = row.Text(9);
    return event;
}

}  // namespace

int64_t FittingStep(int64_t fromUtc, int64_t toUtc, int64_t stepSeconds) {
    int64_t step = std::max<int64_t>(stepSeconds, 60);
    if (BucketCount(fromUtc, toUtc, step) <= static_cast<int64_t>(kHistoryMaxPoints)) return step;
    const int64_t fits = (toUtc - fromUtc + kHistoryMaxPoints - 2) / (kHistoryMaxPoints - 1);
    return (fits + 59) / 60 * 60;
}

HistoryReader::HistoryReader(std::filesystem::path file) : file_(std::move(file)) {}

HistoryReader::~HistoryReader() = default;

void HistoryReader::Close() { db_.reset(); }

// Opens the file once it is there. A file whose tables the writer has not
// made yet reads as empty; a failure closes the connection, so the next
// call opens the file afresh (it may have been replaced meanwhile).
bool HistoryReader::Ready() {
    try {
        if (!db_) {
            std::error_code unknown;
            if (!std::filesystem::exists(file_, unknown)) return false;
            db_ = std::make_unique<SqliteDb>(file_, SqliteOpenMode::ReadOnly);
            db_->Exec("PRAGMA busy_timeout = " + std::to_string(kBusyTimeoutMs));
        }
        const int64_t version = db_->Integer("PRAGMA user_version");
        if (version > HistorySchemaVersion())
            throw SqliteError(SQLITE_MISMATCH, "of an unknown, newer schema (version " + std::to_string(version) + ")");
        return version >= kHistoryReadableVersion;
    } catch (const SqliteError&) {
        db_.reset();
        throw;
    }
}

template <class Result, class Body>
Result HistoryReader::Read(Body body) {
    if (!Ready()) return {};
    try {
        return body(*db_);
    } catch (const SqliteError&) {
        db_.reset();
        throw;
    }
}

std::vector<HistoryPoint> HistoryReader::Points(int64_t fromUtc, int64_t toUtc, int64_t stepSeconds) {
    const int64_t step = FittingStep(fromUtc, toUtc, stepSeconds);
    return Read<std::vector<HistoryPoint>>([&](SqliteDb& db) {
        std::vector<HistoryPoint> points;
        SqliteStatement first(db, "SELECT min(minute) FROM minutes WHERE minute >= ?1 AND minute < ?2");
        first.Bind(1, Int(fromUtc));
        first.Bind(2, Int(toUtc));
        first.Step();
        std::optional<int64_t> next = first.Real(0) ? std::optional<int64_t>(first.Integer(0)) : std::nullopt;
        SqliteStatement bucket(db, BucketSql());
        while (next) {
            const int64_t start = *next - *next % step;
            bucket.Reset();
            bucket.Bind(1, Int(std::max(start, fromUtc)));
            bucket.Bind(2, Int(std::min(start + step, toUtc)));
            bucket.Bind(3, Int(toUtc));
            bucket.Step();
            points.push_back(PointOf(bucket, start));
            next = bucket.Real(0) ? std::optional<int64_t>(bucket.Integer(0)) : std::nullopt;
        }
        return points;
    });
}

std::vector<MinuteRow> HistoryReader::Minutes(int64_t fromUtc, int64_t toUtc) {
    return Read<std::vector<MinuteRow>>([&](SqliteDb& db) {
        SqliteStatement query(db, MinutesSql());
        query.Bind(1, Int(fromUtc));
        query.Bind(2, Int(toUtc));
        std::vector<MinuteRow> minutes;
        while (query.Step()) {
            MinuteRow& row = minutes.emplace_back();
            row.minuteUtc = query.Integer(0);
            row.utcOffsetMinutes = static_cast<int>(query.Integer(1));
            row.onBatterySeconds = static_cast<int>(query.Integer(2));
            row.readings = static_cast<int>(query.Integer(3));
            ReadQuantities(query, 4, row.values);
        }
        return minutes;
    });
}

std::vector<EventRow> HistoryReader::Events(int64_t fromUtc, int64_t toUtc, std::optional<HistoryEventKind> kind) {
    return Read<std::vector<EventRow>>([&](SqliteDb& db) {
        SqliteStatement query(db, kEventsSql);
        query.Bind(1, Int(fromUtc));
        query.Bind(2, Int(toUtc));
        if (kind) query.Bind(3, std::string(HistoryEventKindName(*kind)));
        std::vector<EventRow> events;
        while (query.Step())
            if (auto event = EventOf(query)) events.push_back(std::move(*event));
        return events;
    });
}

std::vector<Discharge> HistoryReader::Discharges(int64_t shortestSeconds) {
    return Read<std::vector<Discharge>>([&](SqliteDb& db) {
        SqliteStatement query(db, kDischargesSql);
        query.Bind(1, Int(shortestSeconds));
        std::vector<Discharge> discharges;
        while (query.Step())
            discharges.push_back({static_cast<double>(query.Integer(0)), *query.Real(1), *query.Real(2),
                                  *query.Real(3)});
        return discharges;
    });
}

}  // namespace velt
