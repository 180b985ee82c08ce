#include "app/mail_channel.h"

#include <chrono>
#include <utility>

#include "core/failure_of.h"

namespace velt {

SmtpConnection SmtpConnectionOf(const TUPSSettings& s) {
    return {s.SMTPHost, s.SMTPPort, s.SMTPLogin, s.SMTPPassword, s.SMTPFrom, s.SMTPMail, s.SMTPAuth,
            static_cast<SmtpSecurity>(s.SMTPSecurity)};
}

std::string HeloName(const std::string& computerName) {
    return computerName.empty() ? "localhost" : computerName;
}

SendOutcome OutboxOutcomeOf(const SmtpOutcome& outcome) {
    if (outcome.kind == SmtpOutcome::Kind::Success) return SendOutcome::Sent();
    return SendOutcome::Failed(outcome.failure, outcome.tlsFailure.empty() ? outcome.text : outcome.tlsFailure);
}

MailChannel::MailChannel(const ChannelSettings& settings, std::function<std::string()> computerName, SmtpLimits limits,
                         TlsSessionFactory tls, MailChannelHooks hooks)
    : settings_(settings),
      computerName_(std::move(computerName)),
      limits_(limits),
      tls_(std::move(tls)),
      hooks_(std::move(hooks)) {}

// A send that throws (out of memory, a resolver's system error) is a
// failure like any other, never the end of the outbox's thread.
SendOutcome MailChannel::Send(const OutboxMessage& message) {
    if (hooks_.began) hooks_.began();
    SmtpOutcome outcome;
    if (const auto what = FailureOf([&] { outcome = Run(message.draft); })) {
        outcome = {};
        outcome.tlsFailure = *what;  // the log's reason, as the immediate send gives it
    }
    if (hooks_.ended) hooks_.ended(outcome);
    return OutboxOutcomeOf(outcome);
}

SmtpOutcome MailChannel::Run(const OutboxDraft& m) {
    const auto written = std::chrono::system_clock::time_point(std::chrono::seconds(m.createdUtc));
    SmtpSend send(SmtpConnectionOf(settings_.Get()), MailContent{m.subject, m.body, HeloName(computerName_()), written, m.messageId},
                  limits_, tls_);
    if (!underWay_.Begin(send)) return {};
    SmtpOutcome outcome = send.Run();
    underWay_.End();
    return outcome;
}

void MailChannel::Abandon() { underWay_.Abandon(); }

}  // namespace velt
