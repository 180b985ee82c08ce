#include "reports/history_writer.h"

#include <utility>

namespace velt {

HistoryWriter::HistoryWriter(std::unique_ptr<HistoryStore> store, HistoryWriterOptions options)
    : store_(std::move(store)),
      capacity_(options.capacity > 0 ? options.capacity : 1),
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

void HistoryWriter::Run() {
    store_->Open();
    HistoryRecord record;
    while (Next(record)) Write(record);
}

// Waits for a record; false once stopping and the queue is empty or the
// stop's time is up (what is left stays queued, counted by Stop()).
bool HistoryWriter::Next(HistoryRecord& record) {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return false;
    if (stopping_ && std::chrono::steady_clock::now() >= stopBy_) return false;
    record = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

void HistoryWriter::Write(const HistoryRecord& record) {
    if (const MinuteRow* minute = std::get_if<MinuteRow>(&record)) {
        if (store_->WriteMinute(*minute)) store_->PruneIfDue(historyDays_);
    } else {
        store_->WriteEvent(std::get<EventRow>(record));
    }
}

}  // namespace velt
