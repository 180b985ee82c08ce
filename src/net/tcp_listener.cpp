#include "net/tcp_listener.h"

namespace velt {

namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

std::optional<tcp::acceptor> Listen(asio::io_context& io, const tcp::endpoint& endpoint) {
    tcp::acceptor acceptor(io);
    boost::system::error_code ec;
    acceptor.open(endpoint.protocol(), ec);
    if (!ec && endpoint.protocol() == tcp::v6()) acceptor.set_option(asio::ip::v6_only(false), ec);
#ifndef _WIN32
    // Lets a restart bind over connections still in TIME_WAIT. Windows does
    // not need it for that, and there it would let a second server take the
    // same port.
    if (!ec) acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
#endif
    if (!ec) acceptor.bind(endpoint, ec);
    if (!ec) acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) return std::nullopt;
    return std::optional<tcp::acceptor>(std::move(acceptor));
}

}  // namespace

std::optional<tcp::acceptor> ListenOn(asio::io_context& io, uint16_t port, ListenScope scope) {
    if (scope == ListenScope::Loopback) return Listen(io, {asio::ip::address_v4::loopback(), port});
    auto acceptor = Listen(io, {tcp::v6(), port});
    if (!acceptor) acceptor = Listen(io, {tcp::v4(), port});
    return acceptor;
}

}  // namespace velt
