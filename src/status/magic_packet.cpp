#include "status/magic_packet.h"

#include <algorithm>

namespace velt {

std::array<uint8_t, kMagicPacketSize> MagicPacket(const MacAddress& mac) {
    std::array<uint8_t, kMagicPacketSize> packet{};
    std::fill_n(packet.begin(), 6, uint8_t{0xFF});
    for (size_t copy = 0; copy < 16; ++copy) std::copy(mac.begin(), mac.end(), packet.begin() + 6 + copy * 6);
    return packet;
}

}  // namespace velt
