#include "app/worker_owner.h"

namespace velt {

WorkerOwner::~WorkerOwner() {
    if (!worker_) return;
    worker_->Terminate();
    worker_->WaitFor();
}

void WorkerOwner::Start(TUPSLink& link, IDataLock& lock, ISleeper& sleeper, const IClock& clock,
                        ReadData::Hooks hooks) {
    worker_ = std::make_unique<ReadData>(link, lock, sleeper, clock, std::move(hooks));
    worker_->Start();
}

void WorkerOwner::Start(IWorkerPoll& poll, ISleeper& sleeper, ReadData::Hooks hooks) {
    worker_ = std::make_unique<ReadData>(poll, sleeper, std::move(hooks));
    worker_->Start();
}

// Bounded: a poll holds the worker at most about 4.5 s, and it notices the
// request within 300 ms after that.
bool WorkerOwner::Stop(IMessagePump& pump, ISleeper& sleeper) {
    if (!worker_) return true;
    Terminate();
    constexpr unsigned kStepMs = 10, kLimitMs = 15000;
    if (!WaitForWorkerEnd(*this, pump, sleeper, kStepMs, kLimitMs)) return false;
    Join();
    return true;
}

void WorkerOwner::Terminate() {
    if (worker_) worker_->Terminate();
}

bool WorkerOwner::Finished() const { return !worker_ || worker_->Finished(); }

void WorkerOwner::Join() {
    if (!worker_) return;
    worker_->WaitFor();
    worker_.reset();
}

}  // namespace velt
