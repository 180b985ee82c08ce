#pragma once
// Overlapped I/O as both transports use it: an operation is started with a
// completion routine that does nothing, the issuing thread waits alertably, and
// learns of completion only from the wait's result.

namespace velt {

enum class WaitOutcome {
    IoCompleted,  // the alertable wait ended early because a completion routine ran
    TimedOut,     // the full wait elapsed
};

}  // namespace velt
