#include "app/alert_outbox.h"

#include <utility>

#include "core/date_time_text.h"

namespace velt {

namespace {

OutboxSenderOptions SenderOptions(const AlertOutboxDeps& deps, OutboxStore& store) {
    auto afterPass = [&store, changed = deps.waitingChanged] {
        if (changed) changed(store.WaitingCount());
    };
    return {deps.outboxHours, deps.poll, std::move(afterPass)};
}

}  // namespace

AlertOutbox::AlertOutbox(AlertOutboxDeps deps, OutboxChannels channels)
    : store_({deps.file}, deps.log),
      ids_(RandomRunSeed()),
      sender_(store_, std::move(channels), deps.clock, deps.dateFormat, deps.log, SenderOptions(deps, store_)) {}

AlertOutbox::~AlertOutbox() { sender_.Stop(); }

bool AlertOutbox::Queue(const std::string& channel, const std::string& subject, const std::string& body,
                        const LocalDateTime& when) {
    const int64_t created = UnixSeconds(when);
    std::string id;
    {
        std::lock_guard<std::mutex> lock(idsMutex_);
        id = ids_.Next(created);
    }
    if (!store_.Add({channel, id, created, when.utcOffsetMinutes, subject, body})) return false;
    sender_.Wake();
    return true;
}

int64_t AlertOutbox::Stop(std::chrono::milliseconds bound) { return sender_.Stop(bound); }

}  // namespace velt
