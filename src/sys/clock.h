#pragma once
// Time as the program sees it: local wall-clock readings for texts, and a sleeper
// for the protocol's fixed pauses. Both are injected so tests run in microseconds.
#include <cstdint>

namespace velt {

struct LocalDateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    // Local time minus UTC, so a reader elsewhere can place the moment.
    int utcOffsetMinutes = 0;
    bool operator==(const LocalDateTime&) const = default;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual LocalDateTime Now() const = 0;
    // Milliseconds from an arbitrary start, never going back: for spacing
    // attempts, where a change of the wall clock must not matter.
    virtual uint64_t MonotonicMs() const = 0;
};

class ISleeper {
public:
    virtual ~ISleeper() = default;
    // Plain (non-alertable) pause of the calling thread.
    virtual void Sleep(unsigned ms) = 0;
};

}  // namespace velt
