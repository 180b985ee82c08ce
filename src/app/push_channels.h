#pragma once
// The outbox's push channels: a webhook that takes the alert as JSON, and an
// ntfy topic that takes its text. Each message is one HTTP(S) POST with the
// settings of the moment it is sent.
#include <optional>
#include <utility>

#include "app/channel_settings.h"
#include "app/send_under_way.h"
#include "net/http_post.h"
#include "reports/outbox_channel.h"
#include "status/warnings.h"

namespace velt {

// One POST per message; abandoned at exit like an e-mail.
class HttpChannel : public IOutboxChannel {
public:
    HttpChannel(const ChannelSettings& settings, TlsSessionFactory tls) : settings_(settings), tls_(std::move(tls)) {}

    SendOutcome Send(const OutboxMessage& message) final;
    void Abandon() final;

protected:
    // None when the settings give nothing that can be sent.
    virtual std::optional<HttpRequest> Request(const TUPSSettings& settings, const OutboxMessage& message) const = 0;

private:
    SendOutcome Post(HttpRequest request);

    const ChannelSettings& settings_;
    TlsSessionFactory tls_;
    SendUnderWay<HttpPost> underWay_;
};

// The body is the JSON written with the alert, which carries its own time.
class WebhookChannel final : public HttpChannel {
public:
    using HttpChannel::HttpChannel;
    bool NotesWrittenAt() const override { return false; }

private:
    std::optional<HttpRequest> Request(const TUPSSettings& settings, const OutboxMessage& message) const override;
};

class NtfyChannel final : public HttpChannel {
public:
    using HttpChannel::HttpChannel;

private:
    std::optional<HttpRequest> Request(const TUPSSettings& settings, const OutboxMessage& message) const override;
};

// What a stored alert is, from its subject: "Warning - ...", "Information -
// ...", "Test - ..."; anything else is a report.
AlertKind AlertKindOfSubject(const std::string& subject);

}  // namespace velt
