#pragma once
// Every channel an alert can go out on (e-mail, webhook, ntfy) behind the
// one outbox: which channel takes which alert, and the settings they send
// with. Made once the settings are loaded, so that what an earlier run left
// goes out with the user's settings, not the defaults.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "app/alert_outbox.h"
#include "app/channel_settings.h"
#include "app/mail_channel.h"
#include "app/push_channels.h"
#include "status/warnings.h"

namespace velt {

// The channels' names, as the outbox's rows and its log lines carry them.
inline constexpr const char* kMailChannel = "e-mail";
inline constexpr const char* kWebhookChannel = "webhook";
inline constexpr const char* kNtfyChannel = "ntfy";

struct AlertChannelsDeps {
    std::filesystem::path file;  // the history's, which holds the outbox
    const IClock& clock;
    const IDateTimeFormat& dateFormat;
    std::function<std::string()> computerName;
    SmtpLimits smtpLimits;
    TlsSessionFactory tls;
    MailChannelHooks mailHooks;  // from the outbox's thread
    OutboxLogLine log;           // any thread
    std::function<void(int64_t)> waitingChanged;
    std::chrono::milliseconds poll{5000};
};

class AlertChannels {
public:
    AlertChannels(AlertChannelsDeps deps, const TUPSSettings& settings);

    // The settings loaded or saved; the next send uses them.
    void UseSettings(const TUPSSettings& settings);
    // False when the outbox took nothing (its file cannot be written).
    bool QueueMail(const std::string& subject, const std::string& body, const LocalDateTime& when);
    // To each push channel set up to take the alert's kind.
    void QueuePush(const TUPSSettings& settings, const PushAlert& alert);
    // To `channel` whatever its flags.
    void QueuePushTest(const TUPSSettings& settings, PushChannel channel, const PushAlert& alert);
    int64_t Stop(std::chrono::milliseconds bound) { return outbox_.Stop(bound); }

private:
    void QueueWebhook(const TUPSSettings& settings, const PushAlert& alert);
    void QueueNtfy(const PushAlert& alert);

    AlertChannelsDeps deps_;
    ChannelSettings settings_;
    MailChannel mail_;
    WebhookChannel webhook_;
    NtfyChannel ntfy_;
    AlertOutbox outbox_;  // last: its thread uses the channels above
};

}  // namespace velt
