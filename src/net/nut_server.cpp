#include "net/nut_server.h"

#include <algorithm>
#include <array>
#include <list>
#include <memory>
#include <optional>
#include <tuple>

#include "net/addresses_seen.h"
#include "net/asio.h"
#include "net/nut_hosts.h"
#include "net/put_off_reads.h"
#include "net/tcp_server_core.h"

namespace velt {

namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using ErrorCode = boost::system::error_code;

// Refused addresses remembered so each is reported once; past this many no
// more are, rather than grow with an attacker's address space, and the source
// bounds what it logs of the others.
constexpr size_t kRefusedRemembered = 300;

class Connection;

// What every connection shares; touched on the server's thread only.
struct ServerCore {
    INutSource& source;
    const NutServerLimits limits;
    std::atomic<bool>& forcedShutdown;
    std::atomic<size_t>& loggedIn;
    std::list<Connection*> open{};
    // One snapshot serves every request of one turn of the server's loop
    // (the handlers that were ready together; a lone connection's one read).
    std::shared_ptr<const NutSnapshot> snapshot{};
    PutOffReads<Connection> reads{[this] { snapshot.reset(); }};
    // The allowed-hosts rule, read again only when its text changes.
    std::string hostsText{};
    NutAllowedHosts hosts{""};
    AddressesSeen refused{kRefusedRemembered};
    NutLoginGuard guesses{limits.logins};

    const NutSnapshot& Snapshot();
    // None when the source cannot say.
    std::shared_ptr<const NutConfig> Config();
    bool Allows(const NutConfig& config, const std::string& peer);
    // The connection closes (or is never opened); the source hears of it.
    void Refuse(const std::string& peer);
};

const NutSnapshot& ServerCore::Snapshot() {
    static const auto stale = std::make_shared<const NutSnapshot>();  // nothing to serve
    if (!snapshot) {
        try {
            snapshot = source.Current(forcedShutdown);
        } catch (const std::exception&) {
        }
        if (!snapshot) snapshot = stale;
    }
    return *snapshot;
}

std::shared_ptr<const NutConfig> ServerCore::Config() {
    try {
        return source.Config();
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool ServerCore::Allows(const NutConfig& config, const std::string& peer) {
    if (config.allowedHosts != hostsText) {
        hosts = NutAllowedHosts(config.allowedHosts);
        hostsText = config.allowedHosts;
    }
    return hosts.Allows(peer);
}

void ServerCore::Refuse(const std::string& peer) {
    if (refused.Note(peer) != AddressesSeen::Seen::Again) source.HostRefused(peer);
}

// The peer's address as clients and the allowed-hosts rule name it: an IPv4
// peer of the dual-stack listener in its IPv4 form.
std::string PeerText(const tcp::endpoint& peer) {
    const auto address = peer.address();
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
    return address.to_string();
}

// One client connection: reads lines, feeds them to its session and sends the
// replies in order. Each request reads the settings as they are then; a peer
// they no longer admit is closed. Its pending operations hold it; the
// server's list holds only a pointer, removed when it closes. Deadlines are
// times the server's sweep checks, so a request costs no timer of its own.
class Connection : public std::enable_shared_from_this<Connection>, private INutSessionContext {
public:
    Connection(TcpSocket socket, std::string peer, std::shared_ptr<const NutConfig> config, ServerCore& core)
        : core_(core), socket_(std::move(socket)), peer_(std::move(peer)), config_(std::move(config)),
          session_(*this), lastHeard_(Clock::now()), entry_(core.open.insert(core.open.end(), this)) {}
    ~Connection() { Close(); }

    // Non-blocking, so that a reply goes out at once where the socket takes
    // it; asynchronous operations are not affected.
    void Start() {
        ErrorCode ignored;
        socket_.non_blocking(true, ignored);
        ReadSome();
    }

    // Idempotent; the pending operations end with an error and release it.
    void Close() {
        if (closed_) return;
        closed_ = true;
        if (counted_) --core_.loggedIn;
        core_.open.erase(entry_);
        ErrorCode ignored;
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }

    void ReadAgain() {
        if (!closed_) ReadSome();
    }

    bool LoggedIn() const { return session_.LoggedIn(); }
    const std::string& Peer() const { return peer_; }
    Clock::time_point LastHeard() const { return lastHeard_; }
    bool AskedSince(Clock::time_point since) const { return lastRequest_ && *lastRequest_ >= since; }

    void Sweep(Clock::time_point now) {
        if (lingering_ ? now >= lingerDeadline_ : now - lastHeard_ >= core_.limits.idle) Close();
    }

private:
    const NutConfig& Config() override { return *config_; }
    const NutSnapshot& Snapshot() override { return core_.Snapshot(); }

    std::vector<std::string> LoggedInAddresses() override {
        std::vector<std::string> addresses;
        for (const Connection* c : core_.open)
            if (c->LoggedIn()) addresses.push_back(c->Peer());
        return addresses;
    }

    void ForceShutdown() override {
        if (!core_.forcedShutdown.exchange(true)) core_.source.ForcedShutdownSet();
        core_.snapshot.reset();  // later requests in this read see FSD
    }

    bool LoginsBlocked() override { return core_.guesses.Blocked(peer_, Clock::now()); }

    void LoginFailed() override {
        const bool blocked = core_.guesses.Failed(peer_, Clock::now());
        core_.source.LoginRefused(peer_, blocked);
    }

    std::string RunInstantCommand(std::string_view name) override { return core_.source.InstantCommand(name, peer_); }

    std::optional<NutCommandState> CommandState(const std::string& id) override {
        return core_.source.CommandState(id);
    }

    void ReadSome() {
        socket_.async_read_some(asio::buffer(input_), [self = shared_from_this()](ErrorCode ec, size_t n) {
            if (self->closed_) return;
            if (ec) return self->Close();
            self->lastHeard_ = Clock::now();
            if (!self->finishing_) self->Consume(std::string_view(self->input_.data(), n));
            self->Flush();
            self->ReadLater();
            if (!self->core_.reads.TurnOpen()) self->core_.snapshot.reset();
        });
    }

    // Put off while other connections are about; a lone connection has no
    // turn to wait for and reads at once.
    void ReadLater() {
        if (closed_) return;
        if (core_.open.size() == 1) return ReadSome();
        core_.reads.Park(shared_from_this(), socket_.get_executor());
    }

    // Splits what arrived into lines; a line past the limit ends the
    // conversation, so no client can make the buffer grow.
    void Consume(std::string_view data) {
        while (!data.empty() && !finishing_ && !closed_) {
            const size_t end = data.find('\n');
            const std::string_view piece = data.substr(0, end);
            if (line_.size() + piece.size() > core_.limits.lineBytes) {
                Queue(NutErrorLine(NutError::InvalidArgument));
                return Finish();
            }
            line_.append(piece);
            if (end == std::string_view::npos) return;
            data.remove_prefix(end + 1);
            if (!line_.empty() && line_.back() == '\r') line_.pop_back();
            Handle();
            line_.clear();
        }
    }

    void Handle() {
        if (!FollowSettings()) return Close();
        lastRequest_ = lastHeard_;
        NutReply reply = session_.Feed(line_);
        CountLogin();
        Queue(std::move(reply.text));
        if (reply.close) Finish();
    }

    // Takes the settings as they are now; false when they no longer admit
    // the peer. The source gives the same pointer while they are unchanged.
    bool FollowSettings() {
        auto latest = core_.Config();
        if (!latest || latest == config_) return true;
        config_ = std::move(latest);
        if (core_.Allows(*config_, peer_)) return true;
        core_.Refuse(peer_);
        return false;
    }

    // Kept apart from the session's own flag, so that a request which threw
    // halfway leaves the count as it was.
    void CountLogin() {
        if (session_.LoggedIn() == counted_) return;
        counted_ = session_.LoggedIn();
        counted_ ? ++core_.loggedIn : --core_.loggedIn;
    }

    // The replies to one read go out together once it is through. A client
    // that lets its replies pile up is not reading them; closing it keeps the
    // others from paying for it.
    void Queue(const std::string& text) {
        if (closed_ || text.empty()) return;
        if (Pending() + text.size() > core_.limits.pendingReplyBytes) Flush();
        if (closed_) return;
        if (Pending() + text.size() > core_.limits.pendingReplyBytes) return Close();
        outbox_ += text;
    }

    size_t Pending() const { return outbox_.size() + sending_.size(); }

    // What the socket takes now is written at once, which spares the usual
    // reply an asynchronous operation; the rest is written asynchronously.
    void Flush() {
        if (writing_ || closed_) return;
        if (!outbox_.empty() && !WriteAtOnce()) return;
        if (!outbox_.empty()) return WriteLater();
        if (finishing_) Linger();
    }

    // False when the socket failed, which closes the connection.
    bool WriteAtOnce() {
        ErrorCode ec;
        const size_t written = socket_.write_some(asio::buffer(outbox_), ec);
        if (ec && ec != asio::error::would_block && ec != asio::error::try_again) {
            Close();
            return false;
        }
        outbox_.erase(0, written);
        return true;
    }

    void WriteLater() {
        std::swap(sending_, outbox_);
        writing_ = true;
        asio::async_write(socket_, asio::buffer(sending_), [self = shared_from_this()](ErrorCode ec, size_t) {
            self->writing_ = false;
            self->sending_.clear();
            if (self->closed_) return;
            if (ec) return self->Close();
            self->Flush();
        });
    }

    // No more requests: the replies go out, then the connection closes.
    void Finish() {
        finishing_ = true;
        Flush();
    }

    // Reading goes on as before, dropping what comes.
    void Linger() {
        if (!lingering_) lingerDeadline_ = StartLinger(socket_);
        lingering_ = true;
    }

    ServerCore& core_;
    TcpSocket socket_;
    const std::string peer_;
    std::shared_ptr<const NutConfig> config_;
    NutSession session_;
    std::array<char, 4096> input_;
    std::string line_;              // the line being read, at most lineBytes
    std::string outbox_, sending_;  // replies waiting, replies being written
    bool closed_ = false;
    bool writing_ = false;
    bool finishing_ = false;  // LOGOUT or an overlong line: no more requests
    bool lingering_ = false;  // sending side shut, reading until the client closes
    bool counted_ = false;    // among the server's logged-in clients
    Clock::time_point lastHeard_, lingerDeadline_;
    std::optional<Clock::time_point> lastRequest_;
    std::list<Connection*>::iterator entry_;
};

// Makes room for one more connection. Sockets that hold a place without
// asking go first, then readers; logged-in ones last, since those are the
// computers waiting to be told to shut down. Among equals, the one silent longest.
void CloseQuietest(ServerCore& core) {
    const Clock::time_point recent = Clock::now() - core.limits.recentRequest;
    const auto rank = [recent](const Connection* c) {
        return std::tuple(c->LoggedIn(), c->AskedSince(recent), c->LastHeard());
    };
    Connection* quietest = nullptr;
    for (Connection* c : core.open)
        if (!quietest || rank(c) < rank(quietest)) quietest = c;
    if (quietest) quietest->Close();
}

size_t ConnectionsFrom(const ServerCore& core, const std::string& peer) {
    return static_cast<size_t>(
        std::count_if(core.open.begin(), core.open.end(), [&](const Connection* c) { return c->Peer() == peer; }));
}

using NutCore = TcpServerCore<ServerCore, Connection>;

// A socket not admitted closes as it goes out of scope.
void Admit(NutCore& core, TcpSocket socket) {
    ErrorCode ec;
    const tcp::endpoint peerEndpoint = socket.remote_endpoint(ec);
    if (ec) return;
    std::string peer = PeerText(peerEndpoint);
    ServerCore& shared = core.shared;
    auto config = shared.Config();
    if (!config) return;
    if (!shared.Allows(*config, peer)) return shared.Refuse(peer);
    if (ConnectionsFrom(shared, peer) >= shared.limits.maxPerAddress) return;
    if (shared.open.size() >= shared.limits.maxConnections) CloseQuietest(shared);
    core.Open(std::move(socket), std::move(peer), std::move(config));
}

}  // namespace

NutServer::NutServer(INutSource& source, NutServerLimits limits) : source_(source), limits_(limits) {}

NutServer::~NutServer() { Stop(); }

std::unique_ptr<ITcpServerRun> NutServer::NewRun() {
    INutSource& source = source_;
    return std::make_unique<NutCore>(Admit, [&source](const std::string& what) { source.ServerFault(what); },
                                     TcpSweepPeriod(limits_.idle), source, limits_, forcedShutdown_, loggedIn_);
}

bool NutServer::SetForcedShutdown(bool on) { return forcedShutdown_.exchange(on) != on; }

bool NutServer::ForcedShutdown() const { return forcedShutdown_; }

size_t NutServer::LoggedInClients() const { return loggedIn_; }

}  // namespace velt
