#include "app/network_servers.h"

#include <random>
#include <utility>

#include "app/server_switch.h"
#include "app/settings_io.h"
#include "core/nut_ups_name.h"
#include "net/nut_hosts.h"

namespace velt {

NetworkServers::NetworkServers(NetworkServersDeps deps)
    : d_(std::move(deps)),
      pageSource_(d_.shown, settings_, d_.clock, d_.dateFormat, d_.historyFile),
      pageServerLog_(d_.post, d_.log),
      pageServer_(pageSource_, {},
                  [this](const std::string& what) { pageServerLog_.AddLogLine(ServerFaultLine("HTTP", what)); }),
      nut_({d_.shown, settings_, d_.post, d_.log, d_.pump, d_.sleeper, d_.clock, d_.version,
            d_.forcedShutdownChanged, d_.runUpsCommand}) {}

void NetworkServers::EndLoad() {
    loading_ = false;
    KeepDeviceId();
    KeepUsableUpsName();
    SettingsChanged();
    if (d_.serveNothing) return;
    if (std::exchange(httpClickDuringLoad_, false)) HTTPCBClick();
    if (d_.live.NUTServer || d_.alwaysServeLocally) NUTCBClick();
}

void NetworkServers::Stop() {
    pageServer_.Stop();
    nut_.Stop();
}

// The port is read first: a text that is no number leaves the server as it
// was. A port the server cannot listen on leaves it off, the box checked and
// the port editable, so the user can pick another.
void NetworkServers::HTTPCBClick() {
    if (d_.serveNothing) return SettingsChanged();
    if (loading_) {
        httpClickDuringLoad_ = true;
        return;
    }
    const std::optional<int64_t> port = ReadPortField(d_.live.HTTPPort, d_.view);
    if (!port) return;
    SettingsChanged();
    SwitchServer(pageServer_, d_.live.HTTPServer, *port, d_.view);
    d_.view.SetHttpPortEditable(!pageServer_.Active());
}

// The port is read first, as the page's is.
void NetworkServers::NUTCBClick() {
    if (d_.serveNothing) return SettingsChanged();
    const std::optional<int64_t> port = ReadPortField(d_.live.NUTPort, d_.view);
    if (!port) return;
    SettingsChanged();
    const ListenScope scope = d_.live.NUTServer ? ListenScope::AllAddresses : ListenScope::Loopback;
    nut_.Switch(d_.live.NUTServer || d_.alwaysServeLocally, *port, d_.view, scope);
    d_.view.SetNutPortEditable(!nut_.Server().Active());
    // A host name in the list admits no one by it: say so where the user looks.
    if (!nut_.Server().Active()) return;
    const NutAllowedHosts hosts(d_.live.NUTAllowedHosts);
    for (const std::string& entry : hosts.Ignored())
        d_.log.AddLogLine("NUT: allowed host '" + entry + "' is not an address or range; ignored");
}

// NUT clients tell units apart by device.serial; without a USB serial string
// it is an identifier made once and stored at once.
void NetworkServers::KeepDeviceId() {
    if (!d_.live.NUTDeviceId.empty()) return;
    std::random_device random;
    d_.live.NUTDeviceId = NewDeviceId((static_cast<uint64_t>(random()) << 32) | random());
    if (auto key = d_.store.OpenKey(kSettingsKeyPath, KeyOpen::CreateIfMissing))
        key->WriteString("NUT Device Id", d_.live.NUTDeviceId);
}

// A stored "NUT UPS Name" that clients could not use gives way to "ups".
void NetworkServers::KeepUsableUpsName() {
    if (NutUpsNameUsable(d_.live.NUTUPSName)) return;
    d_.log.AddLogLine("NUT UPS Name '" + d_.live.NUTUPSName + "' holds more than letters, digits, '.', '_' and '-'; \"" +
                      std::string(kDefaultNutUpsName) + "\" is used");
    d_.live.NUTUPSName = kDefaultNutUpsName;
}

}  // namespace velt
