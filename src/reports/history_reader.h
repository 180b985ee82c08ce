#pragma once
// Reads the history's file for the pictures: the chart's points, the minutes
// for export, the outages and the discharges the runtime is learned from.
// A connection of its own, opened for reading only, beside the writer's (WAL
// lets them pass each other); one thread uses one reader. A file not there
// yet reads as an empty history; one that cannot be read throws SqliteError.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "reports/history_rows.h"

namespace velt {

class SqliteDb;

// One point of a chart or feed: the minutes of [timeUtc, timeUtc + step)
// folded together (the least minimum, the average of the averages, the
// greatest maximum; none where no minute held the quantity).
struct HistoryPoint {
    int64_t timeUtc = 0;
    int utcOffsetMinutes = 0;  // of the bucket's first minute
    std::array<std::optional<MinuteStats>, kHistoryQuantities> values;
    int onBatterySeconds = 0;
    bool operator==(const HistoryPoint&) const = default;
};

inline constexpr size_t kHistoryMaxPoints = 10000;

// `stepSeconds` (at least 60), widened to a whole number of minutes when
// [fromUtc, toUtc) would hold more than kHistoryMaxPoints buckets of it.
int64_t FittingStep(int64_t fromUtc, int64_t toUtc, int64_t stepSeconds);

class HistoryReader {
public:
    explicit HistoryReader(std::filesystem::path file);
    ~HistoryReader();
    HistoryReader(const HistoryReader&) = delete;
    HistoryReader& operator=(const HistoryReader&) = delete;

    // Buckets of FittingStep(fromUtc, toUtc, stepSeconds) over [fromUtc,
    // toUtc), those without minutes left out, aligned on multiples of the
    // step (counted from 1970 UTC).
    std::vector<HistoryPoint> Points(int64_t fromUtc, int64_t toUtc, int64_t stepSeconds);
    // The minutes themselves, in time order (for export).
    std::vector<MinuteRow> Minutes(int64_t fromUtc, int64_t toUtc);
    // Events that overlap [fromUtc, toUtc), by start; of one kind when given.
    // One without an end lasts while it is the newest of its kind (an older
    // one lost its end with the program that wrote it).
    std::vector<EventRow> Events(int64_t fromUtc, int64_t toUtc, std::optional<HistoryEventKind> kind = {});
    // The finished mains failures of at least `shortest` seconds with a
    // start charge and a load: the runtime's lessons, oldest first.
    std::vector<Discharge> Discharges(int64_t shortestSeconds = 60);
    // Lets go of the file until the next read: an open handle would keep
    // Windows from moving a damaged file aside.
    void Close();

private:
    bool Ready();
    template <class Result, class Body>
    Result Read(Body body);

    std::filesystem::path file_;
    std::unique_ptr<SqliteDb> db_;
};

}  // namespace velt
