#pragma once
// What the network servers share below their protocols: the I/O context and
// its thread, the listener and its accept loop, the sweep of the open
// connections' deadlines, and closing it all down. A server supplies:
//  - Shared: what its connections share, touched on the server's thread
//    only, with `open`, a std::list<Connection*> that each connection joins
//    as it is made and leaves as it closes;
//  - Connection: made from (socket, the server's own arguments..., Shared&),
//    with Start(), Close() (idempotent) and Sweep(now), which closes it past
//    its deadline;
//  - Admit: takes each accepted socket, on the server's thread, and opens a
//    connection for it with the core's Open() or lets the socket close;
//  - a fault sink: told, on the server's thread, of an exception that reached
//    the top of it (out of memory, say); the thread then goes on serving.
// Made for one run of a TcpServer: Start once; the destructor stops it.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "core/failure_of.h"
#include "net/asio.h"
#include "net/tcp_listener.h"
#include "net/tcp_server.h"

namespace velt {

// How often the open connections' deadlines are checked, which meets each
// deadline to within an eighth or so of the shortest one.
inline std::chrono::steady_clock::duration TcpSweepPeriod(std::chrono::steady_clock::duration shortestDeadline) {
    return std::clamp<std::chrono::steady_clock::duration>(shortestDeadline / 8, std::chrono::milliseconds(20),
                                                           std::chrono::seconds(1));
}

// What a server's owner is told when its thread met an exception: its text.
using TcpFaultSink = std::function<void(const std::string& what)>;

// A connection's socket. Bound to the I/O context's own executor type rather
// than the polymorphic default, so that each operation's completion is
// called directly, with no type-erased executor made and counted for it.
using TcpSocket = boost::asio::ip::tcp::socket::rebind_executor<boost::asio::io_context::executor_type>::other;

// How long a connection whose last answer is out may go on sending before it
// is closed.
constexpr std::chrono::milliseconds kTcpLingerLimit{2000};

// The graceful close of a connection: its sending side ends, and it goes on
// reading until the peer closes too, or is closed at the time returned.
// Closing with the peer's bytes unread would reset the connection and could
// take the answer with it.
inline std::chrono::steady_clock::time_point StartLinger(TcpSocket& socket) {
    boost::system::error_code ignored;
    socket.shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
    return std::chrono::steady_clock::now() + kTcpLingerLimit;
}

template <class Shared, class Connection>
class TcpServerCore final : public ITcpServerRun {
public:
    using Socket = TcpSocket;
    using Admit = std::function<void(TcpServerCore& core, Socket)>;

    template <class... SharedArgs>
    TcpServerCore(Admit admit, TcpFaultSink fault, std::chrono::steady_clock::duration sweepPeriod,
                   SharedArgs&&... sharedArgs)
        : shared{std::forward<SharedArgs>(sharedArgs)...}, admit_(std::move(admit)), fault_(std::move(fault)),
          sweepPeriod_(sweepPeriod) {}
    ~TcpServerCore() override { Stop(); }
    TcpServerCore(const TcpServerCore&) = delete;
    TcpServerCore& operator=(const TcpServerCore&) = delete;

    // Binds and listens before it returns, then accepts on a thread of its
    // own; false when the port cannot be had.
    bool Start(uint16_t port, ListenScope scope) override {
        acceptor_ = ListenOn(io_, port, scope);
        if (!acceptor_) return false;
        port_ = acceptor_->local_endpoint().port();
        Accept();
        thread_ = std::thread([this] { Serve(); });
        return true;
    }

    // Closes the listener and every connection and joins the thread.
    // Closing cancels every pending operation; the run ends once their
    // handlers are through, none of which waits for anything.
    void Stop() {
        if (!thread_.joinable()) return;
        boost::asio::post(io_, [this] { CloseAll(); });
        thread_.join();
    }

    // The port listened on; 0 before Start.
    uint16_t Port() const override { return port_; }

    // On the server's thread: a connection for an admitted socket, its
    // deadlines swept from now on.
    template <class... Args>
    void Open(Socket socket, Args&&... args) {
        boost::system::error_code ignored;
        socket.set_option(boost::asio::ip::tcp::no_delay(true), ignored);
        std::make_shared<Connection>(std::move(socket), std::forward<Args>(args)..., shared)->Start();
        SweepSoon();
    }

    // Declared before the io_context: connections still held by its handlers
    // leave the open list as the io_context is destroyed.
    Shared shared;

private:
    // After a failed accept (out of descriptors, say), so the loop does not spin.
    static constexpr std::chrono::milliseconds kAcceptRetry{100};

    // An exception out of a handler leaves the others queued: the run goes
    // on after it is reported, until Stop's closing leaves it nothing to do.
    // The connection whose handler threw has nothing pending and ends.
    void Serve() {
        for (;;) {
            const auto what = FailureOf([this] { io_.run(); });
            if (!what) return;
            Report(what->c_str());
        }
    }

    void Report(const char* what) noexcept {
        try {
            if (fault_) fault_(what);
        } catch (...) {
            // Nothing more can be done for a report that cannot be made.
        }
    }

    // The next accept is waiting before a socket is admitted, so an admission
    // that throws does not end the accepting.
    void Accept() {
        acceptor_->async_accept(io_.get_executor(), [this](boost::system::error_code ec, Socket socket) {
            if (!acceptor_->is_open()) return;
            if (ec) {
                acceptRetry_.expires_after(kAcceptRetry);
                acceptRetry_.async_wait([this](boost::system::error_code waitEc) {
                    if (!waitEc && acceptor_->is_open()) Accept();
                });
                return;
            }
            Accept();
            admit_(*this, std::move(socket));
        });
    }

    // Deadlines are times this sweep checks, so a request costs no timer of
    // its own (each timer change is a system call under Windows); it runs
    // while there are connections.
    void SweepSoon() {
        if (sweeping_) return;
        sweeping_ = true;
        sweepTimer_.expires_after(sweepPeriod_);
        sweepTimer_.async_wait([this](boost::system::error_code ec) {
            sweeping_ = false;
            if (ec || shared.open.empty()) return;
            SweepSoon();  // first, so a sweep that throws does not end the sweeping
            const auto now = std::chrono::steady_clock::now();
            for (auto it = shared.open.begin(); it != shared.open.end();) (*it++)->Sweep(now);
        });
    }

    void CloseAll() {
        boost::system::error_code ignored;
        acceptor_->close(ignored);
        acceptRetry_.cancel();
        sweepTimer_.cancel();
        while (!shared.open.empty()) shared.open.front()->Close();
    }

    const Admit admit_;
    const TcpFaultSink fault_;
    const std::chrono::steady_clock::duration sweepPeriod_;
    boost::asio::io_context io_{1};  // run by one thread: fewer locks per handler
    std::optional<boost::asio::ip::tcp::acceptor> acceptor_;
    boost::asio::steady_timer acceptRetry_{io_};
    boost::asio::steady_timer sweepTimer_{io_};
    bool sweeping_ = false;
    std::thread thread_;
    std::atomic<uint16_t> port_{0};
};

}  // namespace velt
