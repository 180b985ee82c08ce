#include "reports/outbox_round.h"

#include <utility>

#include "core/date_time_text.h"
#include "reports/history_time.h"
#include "reports/outbox_note.h"
#include "reports/outbox_retry.h"

namespace velt {

namespace {

std::string ErrorText(const SendOutcome& outcome) {
    const std::string kind = SendFailureText(outcome.failure);
    return outcome.detail.empty() ? kind : kind + ": " + outcome.detail;
}

std::string Named(const OutboxMessage& message) {
    return "Alert \"" + message.draft.subject + "\" (" + message.draft.channel + ")";
}

}  // namespace

OutboxRound::OutboxRound(OutboxStore& store, OutboxChannels channels, const IClock& clock,
                         const IDateTimeFormat& fmt, OutboxLogLine log)
    : store_(store), channels_(std::move(channels)), clock_(clock), fmt_(fmt), log_(std::move(log)) {}

int OutboxRound::Run(int outboxHours, const std::function<bool()>& stopNow) {
    if (const int64_t expired = store_.Expire(NowUtc(), outboxHours))
        log_(std::to_string(expired) + " alert(s) not sent within Outbox Hours; given up");
    int sent = 0;
    // A pass that sent something may have uncovered each channel's next.
    for (bool again = true; again;) {
        again = false;
        for (const OutboxMessage& message : store_.Due(NowUtc())) {
            if (stopNow()) return sent;
            const Result result = SendOne(message, outboxHours);
            if (result == Result::Stuck) return sent;
            if (result == Result::Sent) ++sent;
            if (result == Result::Sent || result == Result::GivenUp) again = true;
        }
    }
    return sent;
}

OutboxRound::Result OutboxRound::SendOne(const OutboxMessage& message, int outboxHours) {
    IOutboxChannel* channel = ChannelOf(message);
    if (!channel) return Result::Waits;  // waits for its sender, or expires
    OutboxMessage handed = message;
    if (message.fromEarlierRun && channel->NotesWrittenAt())
        handed.draft.body = BodyWithWrittenAt(
            message.draft.body, LocalTimeAt(message.draft.createdUtc, message.draft.utcOffsetMinutes), fmt_);
    const SendOutcome outcome = channel->Send(handed);
    if (!outcome.sent) return Failed(message, outcome, outboxHours);
    return store_.MarkSent(message.id) ? Result::Sent : Result::Stuck;
}

// Each message's failure is logged once: its first that may pass, or the one
// that ends it.
OutboxRound::Result OutboxRound::Failed(const OutboxMessage& message, const SendOutcome& outcome, int outboxHours) {
    const std::string error = ErrorText(outcome);
    if (ClassifyFailure(outcome.failure) == FailureClass::Permanent) {
        log_(Named(message) + " refused (" + error + "); not sent");
        return store_.MarkRefused(message.id, error) ? Result::GivenUp : Result::Stuck;
    }
    if (const auto next = NextTryUtc(message.draft.createdUtc, message.attempts + 1, NowUtc(), outboxHours)) {
        if (message.attempts == 0) log_(Named(message) + " not sent (" + error + "); tried again later");
        return store_.MarkRetry(message.id, error, *next) ? Result::Waits : Result::Stuck;
    }
    log_(Named(message) + " not sent within Outbox Hours (" + error + "); given up");
    return store_.MarkExpired(message.id, error) ? Result::GivenUp : Result::Stuck;
}

IOutboxChannel* OutboxRound::ChannelOf(const OutboxMessage& message) {
    const auto found = channels_.find(message.draft.channel);
    if (found != channels_.end() && found->second) return found->second;
    if (unknownLogged_.insert(message.draft.channel).second)
        log_("Alerts for " + message.draft.channel + " wait: no sender for it");
    return nullptr;
}

void OutboxRound::AbandonSends() {
    for (const auto& [name, channel] : channels_) channel->Abandon();
}

int64_t OutboxRound::NowUtc() const { return UnixSeconds(clock_.Now()); }

}  // namespace velt
