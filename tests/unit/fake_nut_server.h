#pragma once
// A scripted NUT server in the test's process, on 127.0.0.1 and a free port:
// every request line a connection sends is answered with what the script
// gives for it, in pieces with pauses between them when the script asks, so
// tests can play servers that stall, trickle, close midway or flood.
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/asio.h"

namespace velt::test {

struct FakeAnswer {
    std::vector<std::string> pieces;  // sent one after the other; none: the server stalls
    std::chrono::milliseconds pause{0};  // before every piece but the first
    bool close = false;                  // after the last piece
};

// The answer to one request line (without its line end).
using FakeScript = std::function<FakeAnswer(const std::string& request)>;

class FakeNutServer {
public:
    explicit FakeNutServer(FakeScript script) : script_(std::move(script)) {
        namespace asio = boost::asio;
        acceptor_.open(asio::ip::tcp::v4());
        acceptor_.bind({asio::ip::make_address_v4("127.0.0.1"), 0});
        acceptor_.listen();
        Accept();
        thread_ = std::thread([this] { io_.run(); });
    }
    ~FakeNutServer() {
        io_.stop();
        thread_.join();
    }
    FakeNutServer(const FakeNutServer&) = delete;
    FakeNutServer& operator=(const FakeNutServer&) = delete;

    uint16_t Port() const { return acceptor_.local_endpoint().port(); }

    // Every request line received so far, over all connections.
    std::vector<std::string> Requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    using tcp = boost::asio::ip::tcp;

    struct Connection {
        explicit Connection(boost::asio::io_context& io) : socket(io), timer(io) {}
        tcp::socket socket;
        boost::asio::steady_timer timer;
        std::string input;
        FakeAnswer answer;
    };

    void Accept() {
        auto connection = std::make_shared<Connection>(io_);
        acceptor_.async_accept(connection->socket, [this, connection](const boost::system::error_code& error) {
            if (error) return;
            Read(connection);
            Accept();
        });
    }

    void Read(const std::shared_ptr<Connection>& c) {
        boost::asio::async_read_until(c->socket, boost::asio::dynamic_buffer(c->input), '\n',
                                      [this, c](const boost::system::error_code& error, size_t length) {
                                          if (error) return;
                                          std::string line = c->input.substr(0, length - 1);
                                          c->input.erase(0, length);
                                          if (!line.empty() && line.back() == '\r') line.pop_back();
                                          {
                                              std::lock_guard lock(mutex_);
                                              requests_.push_back(line);
                                          }
                                          c->answer = script_(line);
                                          Write(c, 0);
                                      });
    }

    // Piece `n` of the answer, then the next after the pause; a stalling
    // answer reads on and never writes.
    void Write(const std::shared_ptr<Connection>& c, size_t n) {
        if (n == c->answer.pieces.size()) {
            if (c->answer.close) c->socket.close();
            else Read(c);
            return;
        }
        boost::asio::async_write(c->socket, boost::asio::buffer(c->answer.pieces[n]),
                                 [this, c, n](const boost::system::error_code& error, size_t) {
                                     if (error) return;
                                     if (n + 1 == c->answer.pieces.size()) return Write(c, n + 1);
                                     c->timer.expires_after(c->answer.pause);
                                     c->timer.async_wait([this, c, n](const boost::system::error_code& e) {
                                         if (!e) Write(c, n + 1);
                                     });
                                 });
    }

    FakeScript script_;
    boost::asio::io_context io_;
    tcp::acceptor acceptor_{io_};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
};

}  // namespace velt::test
