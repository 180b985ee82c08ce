#include "app/wake_on_lan.h"

#include <condition_variable>
#include <functional>
#include <mutex>

#include "status/magic_packet.h"

namespace velt {

// What the send's thread shares with its owner: the wait it gives up at exit,
// and whether its lines may still reach the log.
struct WakeOnLan::Shared {
    std::mutex mutex;
    std::condition_variable abandonedChanged;
    bool abandoned = false;  // guarded by mutex
    bool closed = false;     // main thread only
};

namespace {

// Each host's first failure, empty for those every packet reached.
std::vector<std::string> SendRounds(IDatagramSender& sender, const std::vector<WakeHost>& hosts,
                                    const std::function<bool()>& pauseOrGiveUp) {
    std::vector<std::string> failures(hosts.size());
    for (int round = 0; round < WakeOnLan::kRounds; ++round) {
        if (round > 0 && !pauseOrGiveUp()) break;
        for (size_t i = 0; i < hosts.size(); ++i) {
            const auto packet = MagicPacket(hosts[i].mac);
            std::string failure = sender.SendDatagram(hosts[i].broadcast, kWakeOnLanPort, packet);
            if (failures[i].empty()) failures[i] = std::move(failure);
        }
    }
    return failures;
}

std::string OutcomeLine(const WakeHost& host, const std::string& failure) {
    if (failure.empty()) return "Wake-on-LAN sent to " + MacText(host.mac);
    return "Wake-on-LAN to " + MacText(host.mac) + " not sent: " + failure;
}

}  // namespace

WakeOnLan::WakeOnLan(WakeOnLanDeps deps) : deps_(deps), shared_(std::make_shared<Shared>()) {}

WakeOnLan::~WakeOnLan() {
    shared_->closed = true;
    jobs_.AbandonAll(std::chrono::milliseconds(2000));
}

void WakeOnLan::LoadHosts() {
    WakeHostList list = ParseWakeHosts(deps_.live.WakeHosts);
    hosts_ = std::move(list.hosts);
    for (const std::string& problem : list.problems) deps_.log.AddLogLine(problem);
}

void WakeOnLan::Observe(bool powerFail, std::optional<double> chargePercent, bool shuttingDown) {
    if (!deps_.mayWake) return;
    const WakeReading reading{powerFail, chargePercent, shuttingDown, deps_.clock.MonotonicMs()};
    if (rule_.Observe(reading, {deps_.live.WakeDelay, deps_.live.WakeMinCharge}) && !hosts_.empty()) Send();
}

void WakeOnLan::Send() {
    const auto pause = [shared = shared_, spacing = deps_.spacing] {
        std::unique_lock<std::mutex> lock(shared->mutex);
        return !shared->abandonedChanged.wait_for(lock, spacing, [&] { return shared->abandoned; });
    };
    jobs_.Run(
        [shared = shared_, &log = deps_.log, &post = deps_.post, &sender = deps_.sender, hosts = hosts_, pause] {
            const std::vector<std::string> failures = SendRounds(sender, hosts, pause);
            for (size_t i = 0; i < hosts.size(); ++i)
                post.Post([shared, &log, line = OutcomeLine(hosts[i], failures[i])] {
                    if (!shared->closed) log.AddLogLine(line);
                });
        },
        [shared = shared_] {
            std::lock_guard<std::mutex> guard(shared->mutex);
            shared->abandoned = true;
            shared->abandonedChanged.notify_all();
        });
}

}  // namespace velt
