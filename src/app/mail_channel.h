#pragma once
// The outbox's e-mail channel: one SMTP send per message, with the message's
// id as its Message-ID and the time it was written as its Date.
#include <functional>
#include <string>

#include "app/channel_settings.h"
#include "app/send_under_way.h"
#include "net/smtp_client.h"
#include "reports/outbox_channel.h"

namespace velt {

// The connection as the user entered it in "SMTP Host" ... "SMTP Security".
SmtpConnection SmtpConnectionOf(const TUPSSettings& settings);

// EHLO needs a name; a computer whose name cannot be read still greets.
std::string HeloName(const std::string& computerName);

// What one SMTP outcome means to the outbox.
SendOutcome OutboxOutcomeOf(const SmtpOutcome& outcome);

struct MailChannelHooks {
    std::function<void()> began;                     // a send starts (the hourglass)
    std::function<void(const SmtpOutcome&)> ended;   // its outcome (the status bar)
};

class MailChannel final : public IOutboxChannel {
public:
    MailChannel(const ChannelSettings& settings, std::function<std::string()> computerName, SmtpLimits limits,
                TlsSessionFactory tls, MailChannelHooks hooks);

    SendOutcome Send(const OutboxMessage& message) override;
    void Abandon() override;

private:
    SmtpOutcome Run(const OutboxDraft& message);

    const ChannelSettings& settings_;
    std::function<std::string()> computerName_;
    SmtpLimits limits_;
    TlsSessionFactory tls_;
    MailChannelHooks hooks_;
    SendUnderWay<SmtpSend> underWay_;
};

}  // namespace velt
