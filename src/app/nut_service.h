#pragma once
// The NUT network server as the form runs it: started and stopped by the
// "NUT Server" box, answering from the published snapshots, and the peers'
// shutdown before this computer's. The server calls the source on its own
// thread; everything else here runs on the main thread.
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "app/main_view.h"
#include "app/server_switch.h"
#include "core/event_sink.h"
#include "core/published.h"
#include "core/ups_settings.h"
#include "net/nut_server.h"
#include "status/peer_shutdown.h"
#include "status/shown_status.h"
#include "sys/clock.h"
#include "sys/main_thread_post.h"
#include "sys/message_pump.h"

namespace velt {

struct NutServiceDeps {
    const TShownStatusPublisher& shown;
    const TPublished<TUPSSettings>& settings;
    IMainThreadPost& post;
    ILogSink& log;
    IMessagePump& pump;
    ISleeper& sleeper;
    const IClock& clock;
    std::string version;
};

// A new "NUT Device Id": "VT-" and 16 hexadecimal digits from `random`.
std::string NewDeviceId(uint64_t random);

class TNutService final : public INutSource, public IPeerShutdown {
public:
    static constexpr unsigned kWaitStepMs = 100;

    explicit TNutService(NutServiceDeps deps) : deps_(std::move(deps)), server_(*this) {}

    // The box's handler's share: the server follows the box.
    void Switch(bool on, int64_t port, IMainView& view) { SwitchServer(server_, on, port, view); }
    void Stop() { server_.Stop(); }
    const TNutServer& Server() const { return server_; }

    // Sets FSD and waits, in steps that let window messages run, until no
    // client is logged in or "NUT Shutdown Wait" has passed.
    void ShutDownPeers() override;
    void CancelPeerShutdown() override { server_.SetForcedShutdown(false); }

    // INutSource, on the server's thread.
    NutConfig Config() override;
    NutSnapshot Current(bool forcedShutdown) override;
    void HostRefused(const std::string& address) override;

private:
    NutServiceDeps deps_;
    std::set<std::string> refusedHosts_;  // main thread: each is logged once
    // Posted tasks check it on the main thread, where the service also ends.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    TNutServer server_;                   // last: it stops before what it reads goes
};

}  // namespace velt
