#include "core/read_data.h"

#include "core/command_exchange.h"
#include "core/commands.h"

namespace velt {

TReadData::TReadData(TUPSLink& link, IDataLock& lock, ISleeper& sleeper, const IClock& clock,
                     Hooks hooks)
    : link_(link), lock_(lock), sleeper_(sleeper), clock_(clock), hooks_(std::move(hooks)) {}

TReadData::~TReadData() {
    Terminate();
    WaitFor();
}

void TReadData::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { Execute(); });
}

void TReadData::WaitFor() {
    if (thread_.joinable()) thread_.join();
}

void TReadData::Execute() {
    if (hooks_.onThreadStart) hooks_.onThreadStart();
    while (!terminated_) Cycle();
    finished_ = true;
}

void TReadData::Cycle() {
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
    if (polled && hooks_.notifyMain)
        hooks_.notifyMain();
    else if (monitoring && !polled && hooks_.notifyFailedPoll)
        hooks_.notifyFailedPoll();
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
