#include "sys/posix/comm_state_rules.h"

namespace velt {

namespace {

std::string LineControlRefusal(const SerialLineSettings& s) {
    if (s.byteSize < 5 || s.byteSize > 8) return "ByteSize is not 5 to 8";
    if (s.parity > 4) return "Parity is not one of the five kinds";
    if (s.stopBits > 2) return "StopBits is not 1, 1.5 or 2";
    if (s.stopBits == 1 && s.byteSize != 5) return "1.5 stop bits need 5 data bits";
    if (s.stopBits == 2 && s.byteSize == 5) return "2 stop bits cannot go with 5 data bits";
    return {};
}

std::string HandFlowRefusal(const SerialLineSettings& s, uint16_t queue) {
    if (s.dtrControl == LineControl::Toggle) return "DTR has no toggle mode";
    if (s.xonLim > queue || s.xoffLim > queue) return "XonLim or XoffLim exceeds the receive queue";
    return {};
}

}  // namespace

std::string CommStateRefusal(const SerialLineSettings& s, uint16_t receiveQueueBytes) {
    if (s.baudRate == 0) return "BaudRate is 0";
    if (auto why = LineControlRefusal(s); !why.empty()) return why;
    if (auto why = HandFlowRefusal(s, receiveQueueBytes); !why.empty()) return why;
    if (s.xonChar == s.xoffChar) return "XonChar equals XoffChar";
    return {};
}

}  // namespace velt
