#pragma once
// The alerts on their way out: each is written to the outbox in the
// history's file, then sent on the outbox's own thread through its channel
// (e-mail, webhook, ntfy) and tried again while its failure may pass. What
// is left at exit goes after the next start.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

#include "reports/outbox_message_id.h"
#include "reports/outbox_sender.h"
#include "reports/outbox_store.h"
#include "sys/clock.h"
#include "sys/date_time_format.h"

namespace velt {

struct AlertOutboxDeps {
    std::filesystem::path file;  // the history's
    const IClock& clock;
    const IDateTimeFormat& dateFormat;
    OutboxLogLine log;  // any thread
    // The count of alerts waiting, from the outbox's thread after each pass.
    std::function<void(int64_t)> waitingChanged;
    int outboxHours;
    std::chrono::milliseconds poll{5000};
};

class AlertOutbox {
public:
    // Starts the outbox's thread, which first sends what an earlier run left.
    // The channels outlive the outbox.
    AlertOutbox(AlertOutboxDeps deps, OutboxChannels channels);
    ~AlertOutbox();
    AlertOutbox(const AlertOutbox&) = delete;
    AlertOutbox& operator=(const AlertOutbox&) = delete;

    // Any thread: one alert for `channel`, written at `when`. False when the
    // file took nothing (logged by the store).
    bool Queue(const std::string& channel, const std::string& subject, const std::string& body,
               const LocalDateTime& when);
    void SetOutboxHours(int hours) { sender_.SetOutboxHours(hours); }
    // Sends what is due for at most `bound`, then ends; how many wait.
    int64_t Stop(std::chrono::milliseconds bound);

private:
    OutboxStore store_;
    std::mutex idsMutex_;
    OutboxMessageIds ids_;
    OutboxSender sender_;  // last: its thread starts once the rest is made
};

}  // namespace velt
