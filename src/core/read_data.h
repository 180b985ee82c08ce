#pragma once
// ReadData: the I/O worker. Polls the UPS under the data lock while monitoring,
// releases the lock, then hands the reply to the main thread synchronously and
// pauses the refresh interval in 300 ms steps.
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "core/ups_link.h"
#include "sys/clock.h"
#include "sys/data_lock.h"
#include "sys/main_thread_dispatcher.h"

namespace velt {

constexpr unsigned kPauseStepMs = 300;

// What one poll came to: the message for the main thread (none while nothing
// is asked of the UPS) and the pause before the next.
struct PollStep {
    std::optional<WorkerMessage> message;
    uint32_t intervalMs = 0;
};

// One poll of a UPS, on the worker's thread.
class IWorkerPoll {
public:
    virtual ~IWorkerPoll() = default;
    virtual PollStep Poll() = 0;
    // The worker ends: a last word to the UPS's side, bounded.
    virtual void Finish() {}
    // From another thread: a poll under way is to return soon.
    virtual void Interrupt() {}
};

// This computer's UPS: the status query over the link, under the data lock.
class LinkPoll final : public IWorkerPoll {
public:
    LinkPoll(TUPSLink& link, IDataLock& lock, ISleeper& sleeper, const IClock& clock)
        : link_(link), lock_(lock), sleeper_(sleeper), clock_(clock) {}
    PollStep Poll() override;

private:
    TUPSLink& link_;
    IDataLock& lock_;
    ISleeper& sleeper_;
    const IClock& clock_;
};

class ReadData {
public:
    struct Hooks {
        std::function<void()> onThreadStart;  // e.g. lower the thread's priority
        // Returns once the main thread handled the message.
        std::function<void(WorkerMessage)> handOff;
    };

    ReadData(TUPSLink& link, IDataLock& lock, ISleeper& sleeper, const IClock& clock, Hooks hooks);
    // `poll` outlives the worker.
    ReadData(IWorkerPoll& poll, ISleeper& sleeper, Hooks hooks);
    ~ReadData();  // requests termination and joins
    ReadData(const ReadData&) = delete;
    ReadData& operator=(const ReadData&) = delete;

    void Start();
    void Terminate() {
        terminated_ = true;
        poll_.Interrupt();
    }
    bool Terminated() const { return terminated_; }
    // True once the thread function has returned; join is then immediate.
    bool Finished() const { return finished_; }
    void WaitFor();

    // One pass of the loop (lock, poll, release, notify, pause); the thread runs
    // it until termination. Public so tests can drive it without a thread.
    void Cycle();

private:
    void Execute();
    void HandOff(WorkerMessage message);

    std::unique_ptr<LinkPoll> ownPoll_;  // the link's, when made from one
    IWorkerPoll& poll_;
    ISleeper& sleeper_;
    Hooks hooks_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

}  // namespace velt
