#pragma once
// What Windows refuses in SetCommState, so that the native stand-ins for a COM
// port refuse the same: Wine accepts all of it, a real serial driver does not.
#include <cstdint>
#include <string>

#include "sys/serial_port.h"

namespace velt {

// The receive queue the standard serial driver starts with; XonLim and XoffLim
// are counted against it.
constexpr uint16_t kDefaultReceiveQueueBytes = 4096;

// Empty when SetCommState would take `s`; otherwise why it would not.
std::string CommStateRefusal(const SerialLineSettings& s, uint16_t receiveQueueBytes = kDefaultReceiveQueueBytes);

}  // namespace velt
