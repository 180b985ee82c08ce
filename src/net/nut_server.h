#pragma once
// The NUT network server: the UPS for upsmon, NAS units and home-automation
// clients on TCP (3493 by default). Asynchronous, on one thread of its own,
// reading the UPS and the settings only through its source, at every request.
// Bounded everywhere a client could hold it: the line length, the replies
// waiting for a client that does not read, the number of connections (from
// all and from one address), how long one may stay silent, how fast one
// address may guess the password, and the refused addresses remembered.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/nut_login_guard.h"
#include "net/nut_protocol.h"
#include "net/tcp_server.h"

namespace velt {

// Everything the server reads and reports; called on the server's thread only.
class INutSource {
public:
    virtual ~INutSource() = default;
    // The settings as stored now, read for each connection and each request,
    // so it should be cheap: the same pointer while they are unchanged.
    virtual std::shared_ptr<const NutConfig> Config() = 0;
    // The UPS now, FSD in ups.status when `forcedShutdown`: the same object
    // until what it shows changes, since every request reads it.
    virtual std::shared_ptr<const NutSnapshot> Current(bool forcedShutdown) = 0;
    // A connection from outside the allowed hosts was closed. Called once for
    // each of the first addresses refused; past those, for every refusal of
    // another address, and the source bounds what it makes of them.
    virtual void HostRefused(const std::string& address) = 0;
    // A LOGIN, ATTACH, PRIMARY or FSD from `address` had a wrong user or
    // password; `blocked`: that failure was one too many, and the address's
    // logins are refused unchecked for a while (NutLoginLimits).
    virtual void LoginRefused(const std::string& address, bool blocked) = 0;
    // An exception reached the top of the server's thread, which goes on.
    virtual void ServerFault(const std::string& what) = 0;
    // A primary's FSD set the forced-shutdown flag, which was clear.
    virtual void ForcedShutdownSet() = 0;
    // A logged-in client at `address` asked for the offered instant command
    // `name`. It is to run elsewhere, never on this thread, which must not
    // wait for the UPS; the id its outcome is tracked by.
    virtual std::string InstantCommand(std::string_view name, const std::string& address) = 0;
    // How a command handed over went; none for an id not known (any more).
    virtual std::optional<NutCommandState> CommandState(const std::string& id) = 0;
};

struct NutServerLimits {
    size_t lineBytes = 512;           // a longer line gets ERR INVALID-ARGUMENT and the connection closes
    // When full, a newcomer makes room: first a connection neither logged in
    // nor asking within `recentRequest`, then one asking, a logged-in one
    // last; among those, the one silent longest.
    size_t maxConnections = 64;
    std::chrono::milliseconds recentRequest{10000};
    size_t maxPerAddress = 16;        // a peer's connection past these is closed at once
    std::chrono::milliseconds idle{60000};  // a connection silent this long is closed, to within an eighth
    size_t pendingReplyBytes = 65536;  // a client letting more replies pile up is closed
    NutLoginLimits logins;
};

class NutServer final : public TcpServer {
public:
    explicit NutServer(INutSource& source, NutServerLimits limits = {});
    // Stops the run, which counts into loggedIn_, before the count goes.
    ~NutServer() override;

    // The forced-shutdown flag: FSD in ups.status for every client. Set by
    // the program before it shuts down, or by a primary client's FSD; kept
    // across Stop and Start. Any thread. True when the flag changed.
    bool SetForcedShutdown(bool on);
    bool ForcedShutdown() const;
    // Connections that did LOGIN or ATTACH and have neither logged out nor closed. Any thread.
    size_t LoggedInClients() const;

private:
    std::unique_ptr<ITcpServerRun> NewRun() override;

    INutSource& source_;
    const NutServerLimits limits_;
    std::atomic<bool> forcedShutdown_{false};
    std::atomic<size_t> loggedIn_{0};
};

}  // namespace velt
