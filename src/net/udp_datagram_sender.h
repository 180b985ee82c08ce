#pragma once
// Datagrams through Asio: a socket of its own for each, opened with broadcasts
// allowed. Wake-ups are a few packets after a power failure, not worth a
// socket kept open for months. Any thread.
#include "sys/datagram_sender.h"

namespace velt {

class UdpDatagramSender final : public IDatagramSender {
public:
    std::string SendDatagram(const std::string& ipv4, uint16_t port, std::span<const uint8_t> bytes) override;
};

}  // namespace velt
