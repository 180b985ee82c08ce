#include "reports/outbox_sender.h"

#include <utility>

#include "sys/thread_stack.h"

namespace velt {

OutboxSender::OutboxSender(OutboxStore& store, OutboxChannels channels, const IClock& clock,
                           const IDateTimeFormat& fmt, OutboxLogLine log, OutboxSenderOptions options)
    : store_(store),
      round_(store, std::move(channels), clock, fmt, std::move(log)),
      poll_(options.poll),
      afterPass_(std::move(options.afterPass)),
      outboxHours_(ClampOutboxHours(options.outboxHours)),
      thread_([this] { Run(); }) {}

OutboxSender::~OutboxSender() { Stop(); }

void OutboxSender::Wake() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        woken_ = true;
    }
    wake_.notify_one();
}

int64_t OutboxSender::Stop(std::chrono::milliseconds bound) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!stopping_) {
            stopping_ = true;
            stopBy_ = std::chrono::steady_clock::now() + bound;
        }
    }
    wake_.notify_one();
    if (!thread_.joinable()) return store_.WaitingCount();
    {
        // The bound, and a moment for the pass that ends it to notice.
        std::unique_lock<std::mutex> lock(mutex_);
        if (!ended_.wait_for(lock, bound + std::chrono::milliseconds(200), [this] { return finished_; })) {
            lock.unlock();
            round_.AbandonSends();
        }
    }
    thread_.join();
    return store_.WaitingCount();
}

// A pass after the stop too: what is due goes out within the stop's bound.
void OutboxSender::Run() {
    store_.Open();
    round_.TryWaitingNow();
    do {
        round_.Run(outboxHours_, [this] { return StopNow(); });
        if (afterPass_) afterPass_();
        ReleaseUnusedStack();  // the thread sleeps most of its life
    } while (WaitForWork());
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    ended_.notify_all();
}

// False once stopping; otherwise waits for a wake or the poll's end.
bool OutboxSender::WaitForWork() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (stopping_) return false;
    wake_.wait_for(lock, poll_, [this] { return stopping_ || woken_; });
    woken_ = false;
    return true;
}

bool OutboxSender::StopNow() {
    std::lock_guard<std::mutex> lock(mutex_);
    return stopping_ && std::chrono::steady_clock::now() >= stopBy_;
}

}  // namespace velt
