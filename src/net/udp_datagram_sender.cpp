#include "net/udp_datagram_sender.h"

#include "net/asio.h"

namespace velt {

std::string UdpDatagramSender::SendDatagram(const std::string& ipv4, uint16_t port, std::span<const uint8_t> bytes) {
    namespace ip = boost::asio::ip;
    boost::system::error_code error;
    const ip::address_v4 address = ip::make_address_v4(ipv4, error);
    if (error) return error.message();
    boost::asio::io_context io;
    ip::udp::socket socket(io);
    // A datagram socket does not wait for its peer: send_to returns once the
    // system has the packet.
    socket.open(ip::udp::v4(), error);
    if (!error) socket.set_option(boost::asio::socket_base::broadcast(true), error);
    if (!error)
        socket.send_to(boost::asio::buffer(bytes.data(), bytes.size()), ip::udp::endpoint(address, port), 0, error);
    return error ? error.message() : std::string{};
}

}  // namespace velt
