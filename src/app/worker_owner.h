#pragma once
// The I/O worker's owner: makes and starts it, lets the power actions stop it
// through IPollingWorker, and stops it for good with a bounded wait.
#include <memory>

#include "core/read_data.h"
#include "status/power_actions.h"
#include "sys/message_pump.h"

namespace velt {

class WorkerOwner final : public IPollingWorker {
public:
    WorkerOwner() = default;
    ~WorkerOwner() override;  // the worker references the link: it ends first
    WorkerOwner(const WorkerOwner&) = delete;
    WorkerOwner& operator=(const WorkerOwner&) = delete;

    void Start(TUPSLink& link, IDataLock& lock, ISleeper& sleeper, const IClock& clock, ReadData::Hooks hooks);
    // A worker of another poll; `poll` outlives it.
    void Start(IWorkerPoll& poll, ISleeper& sleeper, ReadData::Hooks hooks);
    // Asks it to end and waits at most 15 s, letting sent messages through
    // (the worker may be inside its hand-off). False when it did not end.
    bool Stop(IMessagePump& pump, ISleeper& sleeper);

    void Terminate() override;
    bool Finished() const override;
    void Join() override;

private:
    std::unique_ptr<ReadData> worker_;
};

}  // namespace velt
