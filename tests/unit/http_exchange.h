#pragma once
// A plain HTTP exchange for the tests of the page server, over loopback.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "net/asio.h"

namespace velt::test {

// Sends the bytes and returns all the server sends until it closes; empty when
// the connection is refused. Bounded by a deadline on the whole exchange.
inline std::string Exchange(uint16_t port, const std::string& bytes) {
    boost::asio::io_context io;
    boost::asio::ip::tcp::socket socket(io);
    std::string received;
    std::array<char, 4096> chunk;
    std::function<void(boost::system::error_code, size_t)> onRead = [&](boost::system::error_code ec, size_t n) {
        received.append(chunk.data(), n);
        if (!ec) socket.async_read_some(boost::asio::buffer(chunk), onRead);
    };
    socket.async_connect({boost::asio::ip::make_address("127.0.0.1"), port}, [&](boost::system::error_code ec) {
        if (ec) return;
        boost::asio::async_write(socket, boost::asio::buffer(bytes), [&](boost::system::error_code, size_t) {});
        socket.async_read_some(boost::asio::buffer(chunk), onRead);
    });
    io.run_for(std::chrono::seconds(5));
    return received;
}

}  // namespace velt::test
