#pragma once
// The history's own thread: it opens the store, then writes each record it
// is handed, one transaction each, and removes old rows once a day. Whoever
// hands records on (the main thread) never waits for the disk: the queue is
// bounded, and when it is full the oldest record gives way, counted.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include "reports/history_rows.h"
#include "reports/history_store.h"

namespace velt {

using HistoryRecord = std::variant<MinuteRow, EventRow>;

struct HistoryWriterOptions {
    size_t capacity = 512;  // records waiting; over eight hours of minutes
    int historyDays = kHistoryDaysDefault;
    // The store's file, read again for the lessons below.
    std::filesystem::path file = {};
    // Given the finished discharges on the writer's thread, once the file
    // opens and after each mains failure's end is written.
    std::function<void(std::vector<Discharge>)> lessons = {};
};

class HistoryWriter {
public:
    // Starts the thread, which opens `store` first.
    HistoryWriter(std::unique_ptr<HistoryStore> store, HistoryWriterOptions options);
    // Stops with the default bound unless Stop() was called.
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    // Any thread; never waits for a write.
    void Enqueue(HistoryRecord record);
    // "History Days" changed; taken at the next removal.
    void SetHistoryDays(int days) { historyDays_ = ClampHistoryDays(days); }
    // Writes what is queued for at most `bound`, then ends and joins the
    // thread (a write under way still finishes, within the store's lock
    // wait). Gives the number of records left unwritten.
    size_t Stop(std::chrono::milliseconds bound = std::chrono::seconds(3));
    // Records that gave way to newer ones in a full queue.
    uint64_t Dropped() const;

private:
    void Run();
    bool Next(std::optional<HistoryRecord>& record);
    void Write(const HistoryRecord& record);
    void Teach();

    std::unique_ptr<HistoryStore> store_;
    const size_t capacity_;
    std::filesystem::path file_;
    std::function<void(std::vector<Discharge>)> lessons_;
    std::atomic<int> historyDays_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<HistoryRecord> queue_;  // guarded by mutex_, like the three below
    uint64_t dropped_ = 0;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point stopBy_;
    std::thread thread_;  // last: starts once everything above is made
};

}  // namespace velt
