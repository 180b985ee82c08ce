#pragma once
// Where event warnings and reports go: the e-mail and LAN senders. Called on
// the main thread; each call takes its own copy of the texts and of the
// settings it sends with, and the sending happens in the background.
#include <cstdint>
#include <optional>
#include <string>

#include "core/ups_settings.h"
#include "sys/clock.h"

namespace velt {

enum class PushChannel { Webhook, Ntfy };

// What an alert is, for the channels that sort by it: ntfy's priority and
// tags, the webhook's "Webhook Warnings" or "Webhook Reports".
enum class AlertKind { Warning, Information, Report, Test };

// One alert for the push channels: the e-mail's subject and body with the
// event they tell of.
struct PushAlert {
    std::string event;  // "Power Fail", "Status Report", "Test", ...
    AlertKind kind = AlertKind::Information;
    std::string subject, body;
    LocalDateTime when;
    // The snapshot as /status.json gives it (one JSON object), added by the
    // engine, which holds it.
    std::string statusJson;
};

class IWarningSender {
public:
    virtual ~IWarningSender() = default;
    // "SMTP Host" ... "SMTP Auth" of `settings` as they are now.
    virtual void SendMail(const TUPSSettings& settings, const std::string& subject, const std::string& body) = 0;
    // "LAN Server" of `settings` as it is now.
    virtual void SendLANMessage(const TUPSSettings& settings, const std::string& body) = 0;
    // To each push channel of `settings` whose flag takes the alert's kind.
    virtual void SendPush(const TUPSSettings& settings, const PushAlert& alert) = 0;
    // To `channel` whatever its flags (the "Send test" buttons).
    virtual void SendPushTest(const TUPSSettings& settings, PushChannel channel, const PushAlert& alert) = 0;
    // The settings loaded or saved: what waits to be sent goes with them.
    virtual void UseSettings(const TUPSSettings&) {}
    // Alerts written but not yet sent; none when there is no outbox.
    virtual std::optional<int64_t> AlertsWaiting() const { return std::nullopt; }
};

// The identity lines a warning body ends with: the texts of VIDE, PIDE and
// ProductNameE as the window shows them.
struct UpsIdentityText {
    std::string vid, pid, product;

    bool operator==(const UpsIdentityText&) const = default;
};

std::string WarningBody(const std::string& prefix, const std::string& dateTimeText,
                        const std::string& eventText, const UpsIdentityText& id);

}  // namespace velt
