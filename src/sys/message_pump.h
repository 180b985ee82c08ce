#pragma once
// The main thread's message loop, as seen by waits that must keep the window alive.

namespace velt {

class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    // Lets every pending window message run once.
    virtual void ProcessMessages() = 0;
    // Lets only messages that other threads send synchronously through (the
    // worker's hand-off), so nothing else runs while the worker is stopped.
    virtual void ProcessSentMessages() = 0;
};

}  // namespace velt
