#include "app/alert_channels.h"

#include <utility>

namespace velt {

AlertChannels::AlertChannels(AlertChannelsDeps deps, const TUPSSettings& settings)
    : deps_(std::move(deps)),
      settings_(settings),
      mail_(settings_, deps_.computerName, deps_.smtpLimits, deps_.tls, deps_.mailHooks),
      outbox_({deps_.file, deps_.clock, deps_.dateFormat, deps_.log, deps_.waitingChanged, settings.OutboxHours,
               deps_.poll},
              {{kMailChannel, &mail_}}) {}

void AlertChannels::UseSettings(const TUPSSettings& settings) {
    settings_.Set(settings);
    outbox_.SetOutboxHours(settings.OutboxHours);
}

void AlertChannels::QueueMail(const std::string& subject, const std::string& body, const LocalDateTime& when) {
    outbox_.Queue(kMailChannel, subject, body, when);
}

}  // namespace velt
