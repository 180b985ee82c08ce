#include "app/alert_channels.h"

#include <utility>

#include "reports/webhook_json.h"

namespace velt {

AlertChannels::AlertChannels(AlertChannelsDeps deps, const TUPSSettings& settings)
    : deps_(std::move(deps)),
      settings_(settings),
      mail_(settings_, deps_.computerName, deps_.smtpLimits, deps_.tls, deps_.mailHooks),
      webhook_(settings_, deps_.tls),
      ntfy_(settings_, deps_.tls),
      outbox_({deps_.file, deps_.clock, deps_.dateFormat, deps_.log, deps_.waitingChanged, settings.OutboxHours,
               deps_.poll},
              {{kMailChannel, &mail_}, {kWebhookChannel, &webhook_}, {kNtfyChannel, &ntfy_}}) {}

void AlertChannels::UseSettings(const TUPSSettings& settings) {
    settings_.Set(settings);
    outbox_.SetOutboxHours(settings.OutboxHours);
}

bool AlertChannels::QueueMail(const std::string& subject, const std::string& body, const LocalDateTime& when) {
    return outbox_.Queue(kMailChannel, subject, body, when);
}

// Warnings and information go where their box is ticked; reports only to
// the webhook, which may take them.
void AlertChannels::QueuePush(const TUPSSettings& s, const PushAlert& alert) {
    const bool report = alert.kind == AlertKind::Report;
    if (!s.WebhookURL.empty() && (report ? s.WebhookReports : s.WebhookWarnings)) QueueWebhook(s, alert);
    if (!s.NtfyURL.empty() && !report && s.NtfyWarnings) QueueNtfy(alert);
}

void AlertChannels::QueuePushTest(const TUPSSettings& s, PushChannel channel, const PushAlert& alert) {
    if (channel == PushChannel::Webhook) QueueWebhook(s, alert);
    if (channel == PushChannel::Ntfy) QueueNtfy(alert);
}

// The JSON is made now, with the snapshot of the moment it tells of.
void AlertChannels::QueueWebhook(const TUPSSettings& s, const PushAlert& alert) {
    outbox_.Queue(kWebhookChannel, alert.subject, WebhookJson(alert, deps_.computerName(), s.NUTUPSName), alert.when);
}

void AlertChannels::QueueNtfy(const PushAlert& alert) {
    outbox_.Queue(kNtfyChannel, alert.subject, alert.body, alert.when);
}

}  // namespace velt
