#include "core/read_data.h"

#include "core/command_exchange.h"
#include "core/commands.h"

#include <utility>

namespace velt {

ReadData::ReadData(TUPSLink& link, IDataLock& lock, ISleeper& sleeper, const IClock& clock, Hooks hooks)
    : ownPoll_(std::make_unique<LinkPoll>(link, lock, sleeper, clock)),
      poll_(*ownPoll_),
      sleeper_(sleeper),
      hooks_(std::move(hooks)) {}

ReadData::ReadData(IWorkerPoll& poll, ISleeper& sleeper, Hooks hooks)
    : poll_(poll), sleeper_(sleeper), hooks_(std::move(hooks)) {}

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
    poll_.Finish();
    finished_ = true;
}

void ReadData::HandOff(WorkerMessage message) {
    if (hooks_.handOff) hooks_.handOff(message);
}

PollStep LinkPoll::Poll() {
    PollStep step;
    DataLockGuard guard(lock_);
    if (link_.Monitoring) {
        const auto query = link_.Q1Supported ? cmd::kStatusMegatec : cmd::kStatusMustek;
        const bool polled = PollExchange(link_, query, sleeper_, clock_);
        step.message = polled ? WorkerMessage::Reply : WorkerMessage::FailedPoll;
    }
    step.intervalMs = link_.RefreshIntervalMs;
    return step;
}

void ReadData::Cycle() {
    // The poll releases what it locked before the hand-off, so the main
    // thread can copy the reply.
    const PollStep step = poll_.Poll();
    if (step.message) HandOff(*step.message);
    // Sleep while count < interval / 300 (a real division), at least once. Termination
    // is only looked at here: a started poll always finishes and notifies.
    const double limit = static_cast<double>(step.intervalMs) / kPauseStepMs;
    unsigned count = 0;
    do {
        sleeper_.Sleep(kPauseStepMs);
        ++count;
    } while (count < limit && !terminated_);
}

}  // namespace velt
