#pragma once
// The worker's synchronous hand-off to the main thread.

namespace velt {

// What the worker hands over. The values travel as a window message's wParam.
enum class WorkerMessage : unsigned {
    Reply = 0,       // a reply was stored in the link
    Failed = 1,      // a poll ended in an exception; the worker goes on
    FailedPoll = 2,  // a poll that got no reply, so a silent UPS is told from a quiet one
};

class IMainThreadDispatcher {
public:
    virtual ~IMainThreadDispatcher() = default;
    // Called on the worker's thread; returns once the main thread has handled
    // the message. The main thread must keep letting sent messages through
    // while it waits for the worker, or the two deadlock.
    virtual void HandOff(WorkerMessage message) = 0;
};

}  // namespace velt
