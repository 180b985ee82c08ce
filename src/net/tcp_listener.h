#pragma once
// The listening socket the network servers share: every local address, IPv6
// and IPv4 on one dual-stack socket where the system has both, IPv4 alone
// otherwise.
#include <cstdint>
#include <optional>

#include "net/asio.h"
#include "net/listen_scope.h"

namespace velt {

// Bound and listening, or nothing when the port cannot be had; port 0 takes a free one.
std::optional<boost::asio::ip::tcp::acceptor> ListenOn(boost::asio::io_context& io, uint16_t port,
                                                       ListenScope scope = ListenScope::AllAddresses);

}  // namespace velt
