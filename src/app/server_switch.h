#pragma once
// What the page server's and the NUT server's boxes share: the port field
// read as a whole number, and the server started or stopped as its box says.
#include <cstdint>
#include <optional>
#include <string>

#include "app/main_view.h"
#include "core/ups_number.h"
#include "net/listen_scope.h"

namespace velt {

// The number the port field holds; none, after telling the user, when the
// text is no whole number.
inline std::optional<int64_t> ReadPortField(const std::string& text, IMainView& view) {
    const std::optional<int64_t> port = DecimalInteger(text);
    if (!port) view.ShowError("'" + text + "' is not a valid integer value");
    return port;
}

// A running server is left as it is, unless it listens elsewhere than asked;
// one that cannot listen on the port stays off and the user is told.
template <typename Server>
void SwitchServer(Server& server, bool on, int64_t port, IMainView& view,
                  ListenScope scope = ListenScope::AllAddresses) {
    if (!on) {
        server.Stop();
        return;
    }
    if (server.Active() && server.Scope() == scope) return;
    const bool inRange = port >= 1 && port <= 65535;
    if (!inRange || server.Start(static_cast<uint16_t>(port), scope) != Server::StartResult::Listening)
        view.ShowError("Could not bind socket. Address and port are already in use.");
}

}  // namespace velt
