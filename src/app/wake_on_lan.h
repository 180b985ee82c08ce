#pragma once
// Wake-on-LAN once the mains are back: the rule decides when, a job thread
// sends each host its packet three times, 1 s apart (a packet may be lost, a
// switch may still be starting), and the outcome comes back to the main
// thread as one log line per host. Main thread only.
#include <chrono>
#include <memory>
#include <optional>

#include "app/job_threads.h"
#include "core/event_sink.h"
#include "core/ups_settings.h"
#include "status/wake_hosts.h"
#include "status/wake_on_lan_rule.h"
#include "sys/clock.h"
#include "sys/datagram_sender.h"
#include "sys/main_thread_post.h"

namespace velt {

struct WakeOnLanDeps {
    const TUPSSettings& live;  // "Wake Hosts", "Wake Delay", "Wake Min Charge"
    const IClock& clock;
    ILogSink& log;
    IMainThreadPost& post;  // the send's lines
    IDatagramSender& sender;
    // A window watching the service wakes nobody: the service does.
    bool mayWake = true;
    std::chrono::milliseconds spacing{1000};
};

class WakeOnLan {
public:
    static constexpr int kRounds = 3;

    explicit WakeOnLan(WakeOnLanDeps deps);
    // A send under way gives up its waits and is joined; its lines are dropped.
    ~WakeOnLan();
    WakeOnLan(const WakeOnLan&) = delete;
    WakeOnLan& operator=(const WakeOnLan&) = delete;

    // After each load of the settings: the hosts, and a log line for each
    // entry left out.
    void LoadHosts();
    // Every evaluated reading.
    void Observe(bool powerFail, std::optional<double> chargePercent, bool shuttingDown);

private:
    struct Shared;
    void Send();

    WakeOnLanDeps deps_;
    std::vector<WakeHost> hosts_;
    WakeOnLanRule rule_;
    std::shared_ptr<Shared> shared_;
    JobThreads jobs_;  // last: its threads end before the rest goes
};

}  // namespace velt
