#pragma once
// The outbox's own thread: at start it sends what an earlier run left
// waiting, then, woken by each new message or every `poll`, whatever is due.
// Its waits are bounded; a send under way ends within its channel's own
// time-outs.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "reports/outbox_round.h"
#include "reports/outbox_retry.h"

namespace velt {

struct OutboxSenderOptions {
    int outboxHours = kOutboxHoursDefault;
    // How often the thread looks for retries that came due.
    std::chrono::milliseconds poll{5000};
    // Called on the thread after each pass (the waiting count may have changed).
    std::function<void()> afterPass;
};

class OutboxSender {
public:
    // Starts the thread. `store` and the channels outlive the sender.
    OutboxSender(OutboxStore& store, OutboxChannels channels, const IClock& clock, const IDateTimeFormat& fmt,
                 OutboxLogLine log, OutboxSenderOptions options = {});
    // Stops with the default bound unless Stop() was called.
    ~OutboxSender();
    OutboxSender(const OutboxSender&) = delete;
    OutboxSender& operator=(const OutboxSender&) = delete;

    // Any thread, after adding a message to the store.
    void Wake();
    // "Outbox Hours" changed; taken at the next pass.
    void SetOutboxHours(int hours) { outboxHours_ = ClampOutboxHours(hours); }
    // Sends what is due for at most `bound`, then abandons the send under way
    // and joins the thread. What is left waits in the store for the next
    // start; its count is given.
    int64_t Stop(std::chrono::milliseconds bound = std::chrono::seconds(3));

private:
    void Run();
    bool WaitForWork();
    bool StopNow();

    OutboxStore& store_;
    OutboxRound round_;
    const std::chrono::milliseconds poll_;
    const std::function<void()> afterPass_;
    std::atomic<int> outboxHours_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable ended_;
    bool woken_ = false;  // guarded by mutex_, like the two below
    bool stopping_ = false;
    bool finished_ = false;  // the thread's loop has ended
    std::chrono::steady_clock::time_point stopBy_;
    std::thread thread_;  // last: starts once everything above is made
};

}  // namespace velt
