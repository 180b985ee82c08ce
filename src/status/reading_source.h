#pragma once
// Where the monitor's readings come from. This computer's UPS over its USB or
// serial link is one source; what reads the replies (the evaluation, the
// countdown, the reports and the servers) sees only this. Main thread only.
#include <optional>
#include <string>

#include "status/power_actions.h"
#include "status/shown_status.h"
#include "status/ups_status.h"
#include "status/warnings.h"
#include "sys/clock.h"

namespace velt {

// The latest reply, taken once per hand-off of the source's poller.
struct SourceReply {
    bool monitoring = false;  // false: nothing is being asked of the UPS
    std::string text;         // the reply exactly as it came; empty when none did
    LocalDateTime when;
    std::optional<TUPSStatus> status;  // none when it was no status reply
    // What a NUT server says beyond the reading.
    std::optional<double> chargePercent;  // its battery.charge, over the estimate
    bool forcedShutdown = false;          // FSD: its primary is shutting the UPS down
};

class IReadingSource {
public:
    virtual ~IReadingSource() = default;
    // Finds the UPS and learns how to talk to it; false when none answers.
    // The data lock is held by the caller.
    virtual bool Connect() = 0;
    // One quiet try to reach a UPS that went silent; true when it answers.
    virtual bool Reconnect() = 0;
    virtual SourceReply TakeReply() = 0;
    // Monitoring ends: the poller keeps running but asks nothing.
    virtual void StopPolling() = 0;
    virtual bool Found() const = 0;       // it was reached and understood
    virtual bool Monitoring() const = 0;  // it is being polled now
    virtual void SetRefreshInterval(uint32_t ms) = 0;
    virtual ShownDevice Device() const = 0;
    virtual UpsIdentityText Identity() const = 0;
    // The poller; the power actions stop it before they act.
    virtual IPollingWorker& Poller() = 0;
    // The UPS belongs to another computer, read over the network.
    virtual bool Remote() const { return false; }
    // A poll gave no reply; the source may tell why.
    virtual void OnFailedPoll() {}
};

}  // namespace velt
