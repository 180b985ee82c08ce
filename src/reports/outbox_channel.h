#pragma once
// Where the outbox hands a message: one channel (e-mail, webhook, ntfy) each.
#include <map>
#include <string>
#include <utility>

#include "reports/outbox_failure.h"
#include "reports/outbox_message.h"

namespace velt {

struct SendOutcome {
    bool sent = false;
    SendFailure failure;  // when not sent
    std::string detail;   // the server's words or the system's error text

    static SendOutcome Sent() { return {true, {}, {}}; }
    static SendOutcome Failed(SendFailure failure, std::string detail = {}) {
        return {false, failure, std::move(detail)};
    }
};

// Called on the outbox's thread, one message at a time. A send reports
// Sent only once the server took the message; every wait inside is bounded.
class IOutboxChannel {
public:
    virtual ~IOutboxChannel() = default;
    virtual SendOutcome Send(const OutboxMessage& message) = 0;
    // Whether a message queued by an earlier run has "Written at ..." added
    // to its body; a channel whose body is data (JSON) carries its own time.
    virtual bool NotesWrittenAt() const { return true; }
    // From any thread, at exit: a send under way returns soon, and any later
    // one fails at once.
    virtual void Abandon() {}
};

// The channels by name, as the messages carry it; each outlives the outbox's
// thread.
using OutboxChannels = std::map<std::string, IOutboxChannel*>;

}  // namespace velt
