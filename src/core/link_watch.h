#pragma once
// Whether the UPS still answers. A dead port (a USB-serial adapter unplugged or
// re-created at resume) or a silent UPS would otherwise leave every poll failing
// quietly for ever with the last readings on screen. Main thread only.
#include <cstdint>

namespace velt {

class LinkWatch {
public:
    static constexpr int kFailedPollsToLose = 5;
    static constexpr uint64_t kReconnectSpacingMs = 30000;

    enum class Change { None, Lost, Back };

    // The outcome of one poll while monitoring: Lost on the fifth failure in a
    // row, Back on the first answer after that.
    Change OnPoll(bool answered);
    // While lost: true when a connect attempt may start now (the first at once,
    // then at most one every 30 s); the attempt is counted from `nowMs`.
    bool ReconnectDue(uint64_t nowMs);
    bool Responding() const { return responding_; }
    // A new start of monitoring begins with a responding UPS.
    void Reset();

private:
    int failedInARow_ = 0;
    bool responding_ = true;
    bool attempted_ = false;
    uint64_t lastAttemptMs_ = 0;
};

}  // namespace velt
