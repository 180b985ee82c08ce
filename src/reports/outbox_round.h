#pragma once
// One pass over the outbox: each channel's due messages, oldest first, handed
// to the channel one at a time.
//
// Sent once: a send the channel reports done is marked sent before the next
// is taken, so a message is never handed on again after a send known to have
// gone through. What cannot be ruled out is a crash (or a send that failed
// unclearly, such as a time-out after the data went out) between the server
// taking a message and the mark: that message is sent once more, with the
// same message id, which a server that deduplicates by Message-ID drops.
// Marking "sending" before the send would not help: after a crash it could
// not tell a message that went out from one that did not.
#include <functional>
#include <set>
#include <string>

#include "reports/outbox_channel.h"
#include "reports/outbox_store.h"
#include "sys/clock.h"
#include "sys/date_time_format.h"

namespace velt {

class OutboxRound {
public:
    OutboxRound(OutboxStore& store, OutboxChannels channels, const IClock& clock, const IDateTimeFormat& fmt,
                OutboxLogLine log);

    // Gives up what is past Outbox Hours, then sends what is due until none
    // is or `stopNow` says so (asked between messages). How many were sent.
    int Run(int outboxHours, const std::function<bool()>& stopNow);
    // At start: what an earlier run left waiting is tried at once.
    void TryWaitingNow() { store_.AllDueAt(NowUtc()); }
    // Any thread: every channel's send under way ends soon, later ones at once.
    void AbandonSends();

private:
    // Sent and given up make way for the channel's next; a message that
    // waits for its retry holds it; Stuck: the file failed.
    enum class Result { Sent, GivenUp, Waits, Stuck };
    Result SendOne(const OutboxMessage& message, int outboxHours);
    Result Failed(const OutboxMessage& message, const SendOutcome& outcome, int outboxHours);
    IOutboxChannel* ChannelOf(const OutboxMessage& message);
    int64_t NowUtc() const;

    OutboxStore& store_;
    OutboxChannels channels_;
    const IClock& clock_;
    const IDateTimeFormat& fmt_;
    OutboxLogLine log_;
    std::set<std::string> unknownLogged_;  // channels named by no sender
};

}  // namespace velt
