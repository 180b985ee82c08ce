#pragma once
// ReadData: the I/O worker. Polls the UPS under the data lock while monitoring,
// releases the lock, then hands the reply to the main thread synchronously and
// pauses the refresh interval in 300 ms steps.
#include <atomic>
#include <functional>
#include <thread>

#include "core/ups_link.h"
#include "sys/clock.h"
#include "sys/data_lock.h"
#include "sys/main_thread_dispatcher.h"

namespace velt {

constexpr unsigned kPauseStepMs = 300;

class ReadData {
public:
    struct Hooks {
        std::function<void()> onThreadStart;  // e.g. lower the thread's priority
        // Returns once the main thread handled the message.
        std::function<void(WorkerMessage)> handOff;
    };

    ReadData(TUPSLink& link, IDataLock& lock, ISleeper& sleeper, const IClock& clock, Hooks hooks);
    ~ReadData();  // requests termination and joins
    ReadData(const ReadData&) = delete;
    ReadData& operator=(const ReadData&) = delete;

    void Start();
    void Terminate() { terminated_ = true; }
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

    TUPSLink& link_;
    IDataLock& lock_;
    ISleeper& sleeper_;
    const IClock& clock_;
    Hooks hooks_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

}  // namespace velt
