#include "core/link_watch.h"

namespace velt {

LinkWatch::Change LinkWatch::OnPoll(bool answered) {
    if (answered) {
        failedInARow_ = 0;
        if (responding_) return Change::None;
        responding_ = true;
        attempted_ = false;
        return Change::Back;
    }
    if (failedInARow_ < kFailedPollsToLose) ++failedInARow_;
    if (!responding_ || failedInARow_ < kFailedPollsToLose) return Change::None;
    responding_ = false;
    return Change::Lost;
}

bool LinkWatch::ReconnectDue(uint64_t nowMs) {
    if (responding_) return false;
    if (attempted_ && nowMs - lastAttemptMs_ < kReconnectSpacingMs) return false;
    attempted_ = true;
    lastAttemptMs_ = nowMs;
    return true;
}

void LinkWatch::Reset() { *this = LinkWatch(); }

}  // namespace velt
