#include "reports/history_writer.h"

#include <optional>
#include <utility>

#include "reports/history_reader.h"
#include "sys/thread_stack.h"

namespace velt {

HistoryWriter::HistoryWriter(std::unique_ptr<HistoryStore> store, HistoryWriterOptions options)
    : store_(std::move(store)),
      capacity_(options.capacity > 0 ? options.capacity : 1),
      file_(std::move(options.file)),
      lessons_(std::move(options.lessons)),
      historyDays_(ClampHistoryDays(options.historyDays)),
      thread_([this] { Run(); }) {}

HistoryWriter::~HistoryWriter() { Stop(); }

void HistoryWriter::Enqueue(HistoryRecord record) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) return;
        if (queue_.size() >= capacity_) {
            queue_.pop_front();
            ++dropped_;
        }
        queue_.push_back(std::move(record));
    }
    wake_.notify_one();
}

size_t HistoryWriter::Stop(std::chrono::milliseconds bound) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!stopping_) {
            stopping_ = true;
            stopBy_ = std::chrono::steady_clock::now() + bound;
        }
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

uint64_t HistoryWriter::Dropped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

// The thread waits nearly all its life: before each wait it gives back the
// stack its start and the last write touched.
void HistoryWriter::Run() {
    if (store_->Open()) Teach();
    std::optional<HistoryRecord> record;
    do {
        if (record) Write(*record);
        ReleaseUnusedStack();
    } while (Next(record));
}

// Waits a while for a record (none when the wait ran out); false once
// stopping and the queue is empty or the stop's time is up (what is left
// stays queued, counted by Stop()).
bool HistoryWriter::Next(std::optional<HistoryRecord>& record) {
    record.reset();
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, std::chrono::minutes(1), [this] { return stopping_ || !queue_.empty(); });
    if (stopping_ && (queue_.empty() || std::chrono::steady_clock::now() >= stopBy_)) return false;
    if (queue_.empty()) return true;
    record = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

void HistoryWriter::Write(const HistoryRecord& record) {
    if (const MinuteRow* minute = std::get_if<MinuteRow>(&record)) {
        if (store_->WriteMinute(*minute)) store_->PruneIfDue(historyDays_);
    } else {
        const EventRow& event = std::get<EventRow>(record);
        if (store_->WriteEvent(event) && event.kind == HistoryEventKind::MainsFailure && event.endUtc) Teach();
    }
}

// Read through a connection of its own: the lessons are few rows, and a
// file that cannot be read leaves the estimate as it was.
void HistoryWriter::Teach() {
    if (!lessons_ || file_.empty()) return;
    try {
        HistoryReader reader(file_);
        lessons_(reader.Discharges());
    } catch (const SqliteError&) {
    }
}

}  // namespace velt
