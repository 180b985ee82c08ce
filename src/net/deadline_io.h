#pragma once
// A TCP client's I/O driven by blocking calls, each bounded by its deadline:
// the caller's thread runs the I/O context until the operation completes,
// the deadline passes or another thread abandons the work. Shared by the
// SMTP and NUT clients.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "net/asio.h"

namespace velt {

// One operation's result, shared with its completion handler: a handler of a
// cancelled operation that runs late writes only into its own record.
struct IoOpResult {
    bool done = false;
    boost::system::error_code error;
    std::size_t bytes = 0;
    boost::asio::ip::tcp::resolver::results_type endpoints;
};

struct DeadlineIo {
    using Clock = std::chrono::steady_clock;

    boost::asio::io_context io;
    boost::asio::ip::tcp::resolver resolver{io};
    boost::asio::ip::tcp::socket socket{io};
    std::atomic<bool> abandoned{false};
    std::shared_ptr<IoOpResult> cutShort;  // cancelled, its handler not yet run

    // A completion handler that fills `op`.
    static auto Completion(const std::shared_ptr<IoOpResult>& op) {
        return [op](const boost::system::error_code& error, auto&&...) {
            op->done = true;
            op->error = error;
        };
    }

    // Runs the I/O context until `op` completes, the deadline passes or the
    // work is abandoned; an operation cut short is cancelled. Abandon sets
    // the flag before it stops the context, so a stop that comes before the
    // restart is still seen through the flag.
    bool Await(const std::shared_ptr<IoOpResult>& op, Clock::time_point deadline);

    // The name lookup and the connection, sharing one deadline. False when
    // the deadline passed (or the work was abandoned); otherwise `error`
    // says whether it connected.
    bool Connect(const std::string& host, uint16_t port, Clock::time_point deadline,
                 boost::system::error_code& error);

    // A read of what arrives next into `buffer`, with its count in `op`.
    std::shared_ptr<IoOpResult> ReadSome(char* buffer, std::size_t size);

    // From any thread: the call under way returns promptly, and every later one.
    void Abandon() {
        abandoned = true;
        io.stop();
    }
};

}  // namespace velt
