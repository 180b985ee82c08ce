#include "app/nut_service.h"

#include <cstdio>
#include <optional>

#include "reports/nut_variables.h"

namespace velt {

std::string NewDeviceId(uint64_t random) {
    char text[24];
    std::snprintf(text, sizeof text, "VT-%016llX", static_cast<unsigned long long>(random));
    return text;
}

void TNutService::ShutDownPeers() {
    if (!server_.Active()) return;
    server_.SetForcedShutdown(true);
    const auto settings = deps_.settings.Current();
    const uint64_t waitMs = static_cast<uint64_t>(kNUTShutdownWaitRange.Clamp(settings->NUTShutdownWait)) * 1000u;
    const uint64_t start = deps_.clock.MonotonicMs();
    deps_.log.AddLogLine("NUT: forced shutdown set; " + std::to_string(server_.LoggedInClients()) +
                         " client(s) logged in");
    while (server_.LoggedInClients() > 0 && deps_.clock.MonotonicMs() - start < waitMs) {
        deps_.pump.ProcessMessages();
        deps_.sleeper.Sleep(kWaitStepMs);
    }
    const size_t left = server_.LoggedInClients();
    if (left == 0)
        deps_.log.AddLogLine("NUT: all clients logged out; going on");
    else
        deps_.log.AddLogLine("NUT: " + std::to_string(left) + " client(s) still logged in after " +
                             std::to_string(waitMs / 1000) + " s; going on");
}

NutConfig TNutService::Config() {
    const auto settings = deps_.settings.Current();
    return {settings->NUTUPSName, settings->NUTUser, settings->NUTPassword, settings->NUTAllowedHosts, "Veltrano"};
}

NutSnapshot TNutService::Current(bool forcedShutdown) {
    const auto shown = deps_.shown.Current();
    const auto settings = deps_.settings.Current();
    NutSnapshot snapshot;
    snapshot.stale = !shown->upsFound || !shown->live.responding || !shown->live.status;
    snapshot.variables = NutVariables(*shown, {settings->NUTDeviceId, deps_.version}, forcedShutdown);
    return snapshot;
}

void TNutService::HostRefused(const std::string& address) {
    deps_.post.Post([this, alive = std::weak_ptr<int>(alive_), address] {
        if (!alive.expired() && refusedHosts_.insert(address).second)
            deps_.log.AddLogLine("NUT: connection from " + address + " refused: not an allowed host");
    });
}

}  // namespace velt
