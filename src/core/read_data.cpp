#include "core/read_data.h"

#include "core/command_exchange.h"
#include "core/commands.h"

#include <utility>

namespace velt {

ReadData::ReadData(TUPSLink& link, IDataLock& lock, ISleeper& sleeper, const IClock& clock,
                     Hooks hooks)
    : link_(link), lock_(lock), sleeper_(sleeper), clock_(clock), hooks_(std::move(hooks)) {}

ReadData::~ReadData() {
    Terminate();
    WaitFor();
}

void ReadData::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { Execute(); });
}

void ReadData::WaitFor() {
    if (thread_.joinable()) thread_.join();
}

// A poll that throws (out of memory, say) is told to the main thread once
// and polling goes on: a worker that ended quietly would leave the UPS
// unwatched.
void ReadData::Execute() {
    if (hooks_.onThreadStart) hooks_.onThreadStart();
    bool failing = false;
    while (!terminated_) {
        try {
            Cycle();
            failing = false;
        } catch (...) {
            if (!std::exchange(failing, true)) HandOff(WorkerMessage::Failed);
            sleeper_.Sleep(kPauseStepMs);
        }
    }
    finished_ = true;
}

void ReadData::HandOff(WorkerMessage message) {
    if (hooks_.handOff) hooks_.handOff(message);
}

void ReadData::Cycle() {
    bool monitoring = false, polled = false;
    uint32_t interval = 0;
    {
        DataLockGuard guard(lock_);
        monitoring = link_.Monitoring;
        if (monitoring) {
            const auto query = link_.Q1Supported ? cmd::kStatusMegatec : cmd::kStatusMustek;
            polled = PollExchange(link_, query, sleeper_, clock_);
        }
        interval = link_.RefreshIntervalMs;
    }
    // The lock is released before the hand-off, so the main thread can copy the reply.
    if (polled)
        HandOff(WorkerMessage::Reply);
    else if (monitoring)
        HandOff(WorkerMessage::FailedPoll);
    // Sleep while count < interval / 300 (a real division), at least once. Termination
    // is only looked at here: a started poll always finishes and notifies.
    const double limit = static_cast<double>(interval) / kPauseStepMs;
    unsigned count = 0;
    do {
        sleeper_.Sleep(kPauseStepMs);
        ++count;
    } while (count < limit && !terminated_);
}

}  // namespace velt
