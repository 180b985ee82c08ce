#include "app/nut_service.h"

#include <cstdio>
#include <optional>

#include "core/nut_ups_name.h"
#include "reports/nut_variables.h"

namespace velt {

std::string NewDeviceId(uint64_t random) {
    char text[24];
    std::snprintf(text, sizeof text, "VT-%016llX", static_cast<unsigned long long>(random));
    return text;
}

void NutService::ShutDownPeers() {
    if (!server_.Active()) return;
    SetForcedShutdown(true);
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

// Rebuilt only when the settings are published anew, so each request's read
// costs a pointer comparison.
std::shared_ptr<const NutConfig> NutService::Config() {
    auto settings = deps_.settings.Current();
    if (settings != configSource_) {
        // The commands are this computer's UPS's: a UPS read from another
        // server has its commands there.
        const bool commands = settings->NUTCommands && settings->UPSSource == kUPSSourceLocal;
        config_ = std::make_shared<const NutConfig>(NutConfig{NutUpsNameOrDefault(settings->NUTUPSName),
                                                              settings->NUTUser, settings->NUTPassword,
                                                              settings->NUTAllowedHosts, "Veltrano", commands});
        configSource_ = std::move(settings);
    }
    return config_;
}

// A publish always makes a new object, so the pointers tell whether anything changed.
std::shared_ptr<const NutSnapshot> NutService::Current(bool forcedShutdown) {
    auto shown = deps_.shown.Current();
    auto settings = deps_.settings.Current();
    if (served_.snapshot && shown == served_.shown && settings == served_.settings &&
        forcedShutdown == served_.forcedShutdown)
        return served_.snapshot;
    NutSnapshot snapshot;
    snapshot.stale = NutReadingsStale(*shown);
    snapshot.variables = NutVariables(*shown, {settings->NUTDeviceId, deps_.version}, forcedShutdown);
    snapshot.description = NutUpsDescription(*shown);
    served_ = {std::move(shown), std::move(settings), forcedShutdown,
               std::make_shared<const NutSnapshot>(std::move(snapshot))};
    return served_.snapshot;
}

void NutService::HostRefused(const std::string& address) {
    mainThread_.Post([this, address] { LogRefusal(address); });
}

void NutService::LogRefusal(const std::string& address) {
    switch (refusedHosts_.Note(address)) {
        case AddressesSeen::Seen::First:
            deps_.log.AddLogLine("NUT: connection from " + address + " refused: not an allowed host");
            return;
        case AddressesSeen::Seen::Again: return;
        case AddressesSeen::Seen::Unremembered: break;
    }
    const uint64_t now = deps_.clock.MonotonicMs();
    if (unloggedNoticeMs_ && now - *unloggedNoticeMs_ < kUnloggedRefusalsNoticeMs) return;
    unloggedNoticeMs_ = now;
    deps_.log.AddLogLine("NUT: further refusals not logged");
}

void NutService::LoginRefused(const std::string& address, bool blocked) {
    std::string line = "NUT: login from " + address + " refused: wrong user or password";
    if (blocked)
        line += "; its logins are refused for " +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(NutLoginLimits{}.block).count()) +
                " s";
    mainThread_.AddLogLine(std::move(line));
}

void NutService::ServerFault(const std::string& what) { mainThread_.AddLogLine(ServerFaultLine("NUT", what)); }

void NutService::ForcedShutdownSet() {
    if (deps_.forcedShutdownChanged) mainThread_.Post(deps_.forcedShutdownChanged);
}

std::string NutService::InstantCommand(std::string_view name, const std::string& address) {
    std::string id = tracking_.Start();
    mainThread_.Post([this, name = std::string(name), address, id] { RunInstantCommand(name, address, id); });
    return id;
}

void NutService::RunInstantCommand(const std::string& name, const std::string& address, const std::string& id) {
    deps_.log.AddLogLine("NUT command " + name + " from " + address);
    const NutInstantCommand* command = FindNutInstantCommand(name);
    tracking_.Finish(id, command && SendToUps(*command));
}

// The settings may have changed since the server offered the command: they
// are asked again, and a UPS not found is not written to.
bool NutService::SendToUps(const NutInstantCommand& command) {
    const auto settings = deps_.settings.Current();
    if (!settings->NUTCommands || settings->UPSSource != kUPSSourceLocal) return false;
    if (!deps_.shown.Current()->upsFound || !deps_.runUpsCommand) return false;
    return deps_.runUpsCommand(command, command.upsCommand(kUPSShutdownDelayRange.Clamp(settings->UPSShutdownDelay)));
}

void NutService::SetForcedShutdown(bool on) {
    if (server_.SetForcedShutdown(on) && deps_.forcedShutdownChanged) deps_.forcedShutdownChanged();
}

}  // namespace velt
