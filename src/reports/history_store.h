#pragma once
// The history's file: opened (or created) in WAL mode, checked, migrated to
// the present schema; minutes and events written each in one transaction;
// old rows removed once a day. Used by one thread, the history's writer.
//
// Nothing here stops the monitoring. A damaged file (not a database, corrupt,
// failing its quick check, or there but not to be opened) is kept beside as
// "<name>.bad-<yyyymmdd-hhmmss>" and a new one started, with one log line. A
// full disk or a file locked elsewhere gives one log line, and the store
// tries again at the next write, quietly until one goes through.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "reports/history_rows.h"
#include "reports/sqlite_db.h"
#include "sys/clock.h"

namespace velt {

struct HistoryStoreOptions {
    std::filesystem::path file;  // its folder is made when missing
    // How long a write waits for a lock another connection holds.
    std::chrono::milliseconds busyTimeout{2000};
    // A ceiling on the file's size; none leaves it to the disk.
    std::optional<int64_t> maxFileBytes;
};

// Called on the store's thread; the owner hands the line to the main thread.
using HistoryLogLine = std::function<void(const std::string&)>;

class HistoryStore {
public:
    HistoryStore(HistoryStoreOptions options, const IClock& clock, HistoryLogLine log);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens the file unless it is open; true when it can be written.
    bool Open();
    bool WriteMinute(const MinuteRow& row);
    bool WriteEvent(const EventRow& row);
    // Removes the minutes and events older than `historyDays` (held within
    // its range) before the clock's present, once a calendar day of that
    // clock: a removal that failed is tried again at the next call.
    bool PruneIfDue(int historyDays);

private:
    bool Attempt(const std::function<void()>& body);
    void OpenFile();
    void Configure(SqliteDb& db) const;
    static void EndWhatWasLeftOpen(SqliteDb& db);
    bool Fail(const SqliteError& error);
    bool MoveAsideAndRestart(const std::string& why);
    std::filesystem::path AsideName() const;
    void Close();
    void Trouble(const std::string& what);
    void Prune(int64_t cutoffUtc);

    HistoryStoreOptions options_;
    const IClock& clock_;
    HistoryLogLine log_;
    std::unique_ptr<SqliteDb> db_;
    std::unique_ptr<SqliteStatement> insertMinute_, insertEvent_;
    bool troubleLogged_ = false;  // until a write goes through again
    std::optional<LocalDateTime> prunedOn_;  // the date part only
};

}  // namespace velt
