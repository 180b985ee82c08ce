#pragma once
// The status page's HTTP server: asynchronous, on one thread of its own, with
// keep-alive for HTTP/1.0 and 1.1. Each GET or HEAD goes to the page source;
// other methods get 405. Bounded everywhere a client could hold it: the size
// and arrival time of a request head, the body it may send, the number of
// connections. Boost.Beast stays inside the .cpp.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/tcp_server.h"
#include "reports/page_request.h"

namespace velt {

class IPageSource {
public:
    virtual ~IPageSource() = default;
    // Called on the server's thread, one request at a time.
    virtual PageResponse Answer(const PageRequest& request) = 0;
};

struct PageServerLimits {
    size_t headBytes = 8192;                        // larger heads get 431 and the connection closes
    // A new connection's first head must be in within headDeadline of the
    // connection; a kept-alive connection may wait idleKeepAlive for its next
    // request, whose head then has headDeadline from its first byte. Met to
    // within an eighth of the shorter one.
    std::chrono::milliseconds headDeadline{10000};
    std::chrono::milliseconds idleKeepAlive{30000};
    size_t maxConnections = 64;                     // when full, the longest idle connection makes room
    size_t bodyBytes = 65536;                       // a request body is read and dropped up to this size
};

class HttpPageServer final : public TcpServer {
public:
    // `fault` hears, on the server's thread, of an exception that reached the
    // top of it; the server goes on.
    explicit HttpPageServer(IPageSource& source, PageServerLimits limits = {},
                             std::function<void(const std::string& what)> fault = {});

private:
    std::unique_ptr<ITcpServerRun> NewRun() override;

    // Each run keeps copies (the source aside): the base class stops the
    // run only after these are gone.
    IPageSource& source_;
    const PageServerLimits limits_;
    const std::function<void(const std::string& what)> fault_;
};

}  // namespace velt
