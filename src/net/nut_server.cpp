#include "net/nut_server.h"

#include <algorithm>
#include <array>
#include <list>
#include <optional>
#include <unordered_set>

#include "net/asio.h"
#include "net/nut_hosts.h"
#include "net/tcp_server_core.h"

namespace velt {

namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using ErrorCode = boost::system::error_code;

// How long a connection that said goodbye may go on sending before it
// closes: reading what it sends lets the last reply reach it instead of a reset.
constexpr std::chrono::milliseconds kLingerLimit{2000};
// Refused addresses remembered so each is reported once; past this many the
// memory starts afresh rather than grow with an attacker's address space.
constexpr size_t kRefusedRemembered = 256;

class Connection;

// What every connection shares; touched on the server's thread only.
struct ServerCore {
    INutSource& source;
    const NutServerLimits limits;
    std::atomic<bool>& forcedShutdown;
    std::atomic<size_t>& loggedIn;
    std::list<Connection*> open{};
    // One snapshot serves every request that arrived in the same read.
    std::optional<NutSnapshot> snapshot{};

    const NutSnapshot& Snapshot() {
        if (!snapshot) {
            try {
                snapshot = source.Current(forcedShutdown);
            } catch (const std::exception&) {
                snapshot = NutSnapshot{};  // stale: nothing to serve
            }
        }
        return *snapshot;
    }
};

// The peer's address as clients and the allowed-hosts rule name it: an IPv4
// peer of the dual-stack listener in its IPv4 form.
std::string PeerText(const tcp::endpoint& peer) {
    const auto address = peer.address();
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6()).to_string();
    return address.to_string();
}

// One client connection: reads lines, feeds them to its session and sends the
// replies in order. Its pending operations hold it; the server's list holds
// only a pointer, removed when it closes. Deadlines are times the server's
// sweep checks, so a request costs no timer of its own.
class Connection : public std::enable_shared_from_this<Connection>, private INutSessionContext {
public:
    Connection(tcp::socket socket, std::string peer, NutConfig config, ServerCore& core)
        : core_(core), socket_(std::move(socket)), peer_(std::move(peer)), session_(*this, std::move(config)),
          lastHeard_(Clock::now()), entry_(core.open.insert(core.open.end(), this)) {}
    ~Connection() { Close(); }

    void Start() { ReadSome(); }

    // Idempotent; the pending operations end with an error and release it.
    void Close() {
        if (closed_) return;
        closed_ = true;
        if (session_.LoggedIn()) --core_.loggedIn;
        core_.open.erase(entry_);
        ErrorCode ignored;
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }

    bool LoggedIn() const { return session_.LoggedIn(); }
    const std::string& Peer() const { return peer_; }
    Clock::time_point LastHeard() const { return lastHeard_; }

    void Sweep(Clock::time_point now) {
        if (lingering_ ? now >= lingerDeadline_ : now - lastHeard_ >= core_.limits.idle) Close();
    }

private:
    const NutSnapshot& Snapshot() override { return core_.Snapshot(); }

    std::vector<std::string> LoggedInAddresses() override {
        std::vector<std::string> addresses;
        for (const Connection* c : core_.open)
            if (c->LoggedIn()) addresses.push_back(c->Peer());
        return addresses;
    }

    void ForceShutdown() override {
        core_.forcedShutdown = true;
        core_.snapshot.reset();  // later requests in this read see FSD
    }

    void ReadSome() {
        socket_.async_read_some(asio::buffer(input_), [self = shared_from_this()](ErrorCode ec, size_t n) {
            if (self->closed_) return;
            if (ec) return self->Close();
            self->lastHeard_ = Clock::now();
            if (!self->finishing_) self->Consume(std::string_view(self->input_.data(), n));
            self->core_.snapshot.reset();
            if (!self->closed_) self->ReadSome();
        });
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
        const bool wasLoggedIn = session_.LoggedIn();
        NutReply reply = session_.Feed(line_);
        if (session_.LoggedIn() != wasLoggedIn) session_.LoggedIn() ? ++core_.loggedIn : --core_.loggedIn;
        Queue(std::move(reply.text));
        if (reply.close) Finish();
    }

    // A client that lets its replies pile up is not reading them; closing it
    // keeps the others from paying for it.
    void Queue(const std::string& text) {
        if (closed_ || text.empty()) return;
        if (outbox_.size() + sending_.size() + text.size() > core_.limits.pendingReplyBytes) return Close();
        outbox_ += text;
        Flush();
    }

    void Flush() {
        if (writing_ || closed_) return;
        if (outbox_.empty()) {
            if (finishing_) Linger();
            return;
        }
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

    void Linger() {
        if (lingering_) return;
        lingering_ = true;
        ErrorCode ignored;
        socket_.shutdown(tcp::socket::shutdown_send, ignored);
        lingerDeadline_ = Clock::now() + kLingerLimit;
    }

    ServerCore& core_;
    tcp::socket socket_;
    const std::string peer_;
    TNutSession session_;
    std::array<char, 4096> input_;
    std::string line_;              // the line being read, at most lineBytes
    std::string outbox_, sending_;  // replies waiting, replies being written
    bool closed_ = false;
    bool writing_ = false;
    bool finishing_ = false;  // LOGOUT or an overlong line: no more requests
    bool lingering_ = false;  // sending side shut, reading until the client closes
    Clock::time_point lastHeard_, lingerDeadline_;
    std::list<Connection*>::iterator entry_;
};

// Makes room for one more connection: closes the one silent longest, a
// logged-in one only when every connection is logged in, since those are
// the computers waiting to be told to shut down.
void CloseQuietest(ServerCore& core) {
    Connection* quietest = nullptr;
    for (Connection* c : core.open) {
        if (!quietest || std::pair(c->LoggedIn(), c->LastHeard()) < std::pair(quietest->LoggedIn(), quietest->LastHeard()))
            quietest = c;
    }
    if (quietest) quietest->Close();
}

}  // namespace

struct TNutServer::Impl {
    Impl(INutSource& source, NutServerLimits limits, std::atomic<bool>& forced, std::atomic<size_t>& loggedIn)
        : core([this](tcp::socket socket) { Admit(std::move(socket)); }, TcpSweepPeriod(limits.idle), source, limits,
               forced, loggedIn) {}

    // The allowed-hosts rule, read again only when its text changes.
    std::string hostsText;
    TNutAllowedHosts hosts{""};
    std::unordered_set<std::string> refused;
    // Declared last, so its thread is joined before the members above go.
    TTcpServerCore<ServerCore, Connection> core;

    void Admit(tcp::socket socket) {
        ErrorCode ec;
        const tcp::endpoint peerEndpoint = socket.remote_endpoint(ec);
        if (ec) return;
        std::string peer = PeerText(peerEndpoint);
        NutConfig config;
        try {
            config = core.shared.source.Config();
        } catch (const std::exception&) {
            return;
        }
        if (!Allowed(config.allowedHosts, peer)) return Refuse(peer);
        if (core.shared.open.size() >= core.shared.limits.maxConnections) CloseQuietest(core.shared);
        core.Open(std::move(socket), std::move(peer), std::move(config));
    }

    bool Allowed(const std::string& list, const std::string& peer) {
        if (list != hostsText) {
            hosts = TNutAllowedHosts(list);
            hostsText = list;
        }
        return hosts.Allows(peer);
    }

    // The socket closes as it goes out of scope; the address is reported once.
    void Refuse(const std::string& peer) {
        if (refused.size() >= kRefusedRemembered) refused.clear();
        if (refused.insert(peer).second) core.shared.source.HostRefused(peer);
    }
};

TNutServer::TNutServer(INutSource& source, NutServerLimits limits) : source_(source), limits_(limits) {}

TNutServer::~TNutServer() { Stop(); }

TNutServer::StartResult TNutServer::Start(uint16_t port) {
    return StartRun(impl_, port, source_, limits_, forcedShutdown_, loggedIn_) ? StartResult::Listening
                                                                               : StartResult::BindFailed;
}

void TNutServer::Stop() { impl_.reset(); }

bool TNutServer::Active() const { return impl_ != nullptr; }

uint16_t TNutServer::Port() const { return impl_ ? impl_->core.Port() : 0; }

void TNutServer::SetForcedShutdown(bool on) { forcedShutdown_ = on; }

bool TNutServer::ForcedShutdown() const { return forcedShutdown_; }

size_t TNutServer::LoggedInClients() const { return loggedIn_; }

}  // namespace velt
