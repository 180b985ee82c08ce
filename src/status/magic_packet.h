#pragma once
// The Wake-on-LAN "magic packet": six 0xFF bytes, then the MAC sixteen times.
// A network card that sleeps with wake-up enabled powers its computer on when
// it sees it, whatever the packet's UDP port; 9 (discard) is the usual one.
#include <array>
#include <cstdint>

#include "status/wake_hosts.h"

namespace velt {

inline constexpr uint16_t kWakeOnLanPort = 9;
inline constexpr size_t kMagicPacketSize = 6 + 16 * 6;

std::array<uint8_t, kMagicPacketSize> MagicPacket(const MacAddress& mac);

}  // namespace velt
