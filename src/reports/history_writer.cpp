#include "reports/history_writer.h"

#include <optional>
#include <utility>

#include "reports/history_reader.h"

namespace velt {

HistoryWriter::HistoryWriter(std::unique_ptr<HistoryStore> store, HistoryWriterOptions options)
    : store_(std::move(store)),
      capacity_(options.capacity > 0 ? options.capacity : 1),
      file_(std::move(options.file)),
      lessons_(std::move(options.lessons)),
      historyDays_(ClampHistoryDays(options.historyDays)) {
    running_ = true;  // the first run opens the file
    thread_ = std::thread([this] { Run(); });
}

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
        if (running_) return;
        running_ = true;
    }
    StartRun();
}

// A thread only while there is something to write: under Wine each thread
// keeps about a megabyte of stack, for a row a minute. The last run has
// ended or is ending (it cleared running_), so the join is short.
void HistoryWriter::StartRun() {
    std::lock_guard<std::mutex> lock(threadMutex_);
    if (thread_.joinable()) thread_.join();
    thread_ = std::thread([this] { Run(); });
}

size_t HistoryWriter::Stop(std::chrono::milliseconds bound) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!stopping_) {
            stopping_ = true;
            stopBy_ = std::chrono::steady_clock::now() + bound;
        }
    }
    {
        std::lock_guard<std::mutex> lock(threadMutex_);
        if (thread_.joinable()) thread_.join();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

uint64_t HistoryWriter::Dropped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

void HistoryWriter::Run() {
    if (!opened_) {
        opened_ = true;
        if (store_->Open()) Teach();
    }
    std::optional<HistoryRecord> record;
    while (Next(record)) Write(*record);
}

// The next record; false once the queue is empty, or when stopping and the
// stop's time is up (what is left stays queued, counted by Stop()): the run
// ends and the next record starts another.
bool HistoryWriter::Next(std::optional<HistoryRecord>& record) {
    record.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty() || (stopping_ && std::chrono::steady_clock::now() >= stopBy_)) {
        running_ = false;
        return false;
    }
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
