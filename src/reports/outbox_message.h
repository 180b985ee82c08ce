#pragma once
// One alert in the outbox: what a channel (e-mail, webhook, ntfy) sends, and
// the outbox's own account of it.
#include <cstdint>
#include <string>

namespace velt {

// What a sender hands in; the outbox keeps it until it is sent or given up.
struct OutboxDraft {
    std::string channel;    // messages of one channel go in the order written
    std::string messageId;  // unique; an e-mail carries it as its Message-ID
    int64_t createdUtc = 0;
    int utcOffsetMinutes = 0;  // of the local time it was written at
    std::string subject;
    std::string body;
};

struct OutboxMessage {
    int64_t id = 0;  // the row's; rising in the order written
    OutboxDraft draft;
    int attempts = 0;  // sends that failed so far
    // Queued by an earlier run of the program: its body is to say when it
    // was written.
    bool fromEarlierRun = false;
};

}  // namespace velt
