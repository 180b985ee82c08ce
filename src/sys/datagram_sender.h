#pragma once
// One UDP datagram to an IPv4 address, broadcast addresses included: the
// Wake-on-LAN packets.
#include <cstdint>
#include <span>
#include <string>

namespace velt {

class IDatagramSender {
public:
    virtual ~IDatagramSender() = default;
    // Empty when sent; otherwise why not. Never waits for the network.
    virtual std::string SendDatagram(const std::string& ipv4, uint16_t port, std::span<const uint8_t> bytes) = 0;
};

}  // namespace velt
