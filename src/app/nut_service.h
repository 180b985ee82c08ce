#pragma once
// The NUT network server as the form runs it: started and stopped by the
// "NUT Server" box, answering from the published snapshots, and the peers'
// shutdown before this computer's. The server calls the source on its own
// thread; everything else here runs on the main thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/main_thread_log.h"
#include "app/main_view.h"
#include "app/server_switch.h"
#include "core/event_sink.h"
#include "core/published.h"
#include "core/ups_settings.h"
#include "net/addresses_seen.h"
#include "net/nut_instant_commands.h"
#include "net/nut_server.h"
#include "net/nut_tracking.h"
#include "status/peer_shutdown.h"
#include "status/shown_status.h"
#include "sys/clock.h"
#include "sys/main_thread_post.h"
#include "sys/message_pump.h"

namespace velt {

struct NutServiceDeps {
    const ShownStatusPublisher& shown;
    const Published<TUPSSettings>& settings;
    IMainThreadPost& post;
    ILogSink& log;
    IMessagePump& pump;
    ISleeper& sleeper;
    const IClock& clock;
    std::string version;
    // Main thread: FSD was set or cleared.
    std::function<void()> forcedShutdownChanged;
    // Main thread: sends the instant command's bytes to the UPS under the
    // data lock; false when the UPS echoed them (it does not know the
    // command) or there was none to send them to.
    std::function<bool(const NutInstantCommand&, const std::string& upsCommand)> runUpsCommand;
};

// A new "NUT Device Id": "VT-" and 16 hexadecimal digits from `random`.
std::string NewDeviceId(uint64_t random);

class NutService final : public INutSource, public IPeerShutdown {
public:
    static constexpr unsigned kWaitStepMs = 100;
    // Refused hosts named in the log; past them, one line says so, at most hourly.
    static constexpr size_t kRefusedHostsLogged = 300;
    static constexpr uint64_t kUnloggedRefusalsNoticeMs = 3600 * 1000;

    explicit NutService(NutServiceDeps deps)
        : deps_(std::move(deps)), mainThread_(deps_.post, deps_.log), server_(*this) {}

    // The box's handler's share: the server follows the box.
    void Switch(bool on, int64_t port, IMainView& view, ListenScope scope = ListenScope::AllAddresses) {
        SwitchServer(server_, on, port, view, scope);
    }
    void Stop() { server_.Stop(); }
    const NutServer& Server() const { return server_; }

    // Sets FSD and waits, in steps that let window messages run, until no
    // client is logged in or "NUT Shutdown Wait" has passed.
    void ShutDownPeers() override;
    void CancelPeerShutdown() override { SetForcedShutdown(false); }

    // INutSource, on the server's thread.
    std::shared_ptr<const NutConfig> Config() override;
    std::shared_ptr<const NutSnapshot> Current(bool forcedShutdown) override;
    void HostRefused(const std::string& address) override;
    void LoginRefused(const std::string& address, bool blocked) override;
    void ServerFault(const std::string& what) override;
    void ForcedShutdownSet() override;
    std::string InstantCommand(std::string_view name, const std::string& address) override;
    std::optional<NutCommandState> CommandState(const std::string& id) override { return tracking_.State(id); }

private:
    // The last snapshot served and what it was made from; the server's thread only.
    struct ServedSnapshot {
        std::shared_ptr<const ShownStatus> shown;
        std::shared_ptr<const TUPSSettings> settings;
        bool forcedShutdown = false;
        std::shared_ptr<const NutSnapshot> snapshot;
    };

    void SetForcedShutdown(bool on);
    void LogRefusal(const std::string& address);
    // Main thread: logs the command and runs it on the UPS.
    void RunInstantCommand(const std::string& name, const std::string& address, const std::string& id);
    bool SendToUps(const NutInstantCommand& command);

    NutServiceDeps deps_;
    MainThreadLog mainThread_;
    NutTracking tracking_;  // both threads
    // Server thread: the settings last seen, and what they made.
    std::shared_ptr<const TUPSSettings> configSource_;
    std::shared_ptr<const NutConfig> config_;
    ServedSnapshot served_;
    // Main thread.
    AddressesSeen refusedHosts_{kRefusedHostsLogged};
    std::optional<uint64_t> unloggedNoticeMs_;  // when the line for the others was last logged
    NutServer server_;                         // last: it stops before what it reads goes
};

}  // namespace velt
