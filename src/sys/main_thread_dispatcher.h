#pragma once
// The worker's synchronous hand-off to the main thread.

namespace velt {

class IMainThreadDispatcher {
public:
    virtual ~IMainThreadDispatcher() = default;
    // Called on the worker's thread after it stored a reply; returns once the
    // main thread has handled it. The main thread must keep letting sent
    // messages through while it waits for the worker, or the two deadlock.
    virtual void HandOffReply() = 0;
    // The same hand-off for a poll that got no reply, so the main thread can
    // tell a silent UPS from a quiet one.
    virtual void HandOffFailedPoll() = 0;
};

}  // namespace velt
