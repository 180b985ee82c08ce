#include "app/push_channels.h"

#include <utility>

#include "core/failure_of.h"
#include "net/push_requests.h"

namespace velt {

SendOutcome HttpChannel::Send(const OutboxMessage& message) {
    std::optional<HttpRequest> request = Request(settings_.Get(), message);
    if (!request) return SendOutcome::Failed({SendFailureKind::UnusableAddress}, "the settings give no request");
    SendOutcome outcome;
    // A send that throws (out of memory) is a failure like any other, never
    // the end of the outbox's thread.
    if (const auto what = FailureOf([&] { outcome = Post(std::move(*request)); }))
        outcome = SendOutcome::Failed({SendFailureKind::Other}, *what);
    return outcome;
}

SendOutcome HttpChannel::Post(HttpRequest request) {
    HttpPost post(std::move(request), {}, tls_);
    if (!underWay_.Begin(post)) return SendOutcome::Failed({SendFailureKind::Other}, "the program is closing");
    SendOutcome outcome = post.Run();
    underWay_.End();
    return outcome;
}

void HttpChannel::Abandon() { underWay_.Abandon(); }

std::optional<HttpRequest> WebhookChannel::Request(const TUPSSettings& s, const OutboxMessage& message) const {
    return WebhookRequest(s.WebhookURL, s.WebhookHeader, message.draft.body);
}

std::optional<HttpRequest> NtfyChannel::Request(const TUPSSettings& s, const OutboxMessage& message) const {
    const OutboxDraft& m = message.draft;
    return NtfyRequest(s.NtfyURL, s.NtfyToken, m.subject, m.body, AlertKindOfSubject(m.subject));
}

AlertKind AlertKindOfSubject(const std::string& subject) {
    if (subject.starts_with("Warning")) return AlertKind::Warning;
    if (subject.starts_with("Information")) return AlertKind::Information;
    if (subject.starts_with("Test")) return AlertKind::Test;
    return AlertKind::Report;
}

}  // namespace velt
