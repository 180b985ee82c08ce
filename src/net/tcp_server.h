#pragma once
// What each network server shows its owner: started on a port, stopped,
// asked whether it runs and where. A server supplies its runs; each Start
// makes a new one, and a run exists only while its server runs: under
// Windows the I/O context's first timer starts a thread of its own, which an
// idle program has no use for.
#include <cstdint>
#include <memory>

#include "net/listen_scope.h"

namespace velt {

// One run of a server: made idle, listening once Start succeeds, stopped by
// its destructor.
class ITcpServerRun {
public:
    virtual ~ITcpServerRun() = default;
    // False when the port cannot be had.
    virtual bool Start(uint16_t port, ListenScope scope) = 0;
    virtual uint16_t Port() const = 0;
};

class TcpServer {
public:
    // Stops the run; a server whose runs read members of its own stops in
    // its own destructor, before they go.
    virtual ~TcpServer();
    TcpServer(const TcpServer&) = delete;
    TcpServer& operator=(const TcpServer&) = delete;

    enum class StartResult { Listening, BindFailed };
    // Binds and listens on all local addresses before it returns (IPv6 and
    // IPv4 where the system has both, IPv4 alone otherwise); port 0 takes a
    // free one. A running server is stopped first; one that cannot bind is
    // left stopped.
    StartResult Start(uint16_t port, ListenScope scope = ListenScope::AllAddresses);
    // Where the run listens; meaningful while active.
    ListenScope Scope() const { return scope_; }
    // Closes the listener and every connection and joins the thread.
    void Stop();
    bool Active() const;
    // The port listened on; 0 while inactive.
    uint16_t Port() const;

protected:
    TcpServer() = default;

private:
    // A run for Start to listen with, made from the server's settings as they are now.
    virtual std::unique_ptr<ITcpServerRun> NewRun() = 0;

    std::unique_ptr<ITcpServerRun> run_;  // while it runs
    ListenScope scope_ = ListenScope::AllAddresses;
};

}  // namespace velt
