#pragma once
// TUPSLink: the one record describing the current connection and the last reply.
// Every field is read and written only while the data lock is held.
#include <cstdint>
#include <memory>
#include <string>

#include "sys/clock.h"
#include "sys/hid_device.h"
#include "sys/serial_port.h"

namespace velt {

constexpr size_t kMaxReplyChars = 255;
constexpr unsigned kDefaultRefreshMs = 3000;
constexpr int kDefaultComMaxAttempts = 5;

struct TUPSLink {
    bool Monitoring = false;
    bool UsbActive = false;
    bool ComActive = false;
    IHidDevice* HidDevice = nullptr;  // owned by the HID device controller
    uint16_t Vid = 0, Pid = 0;
    uint8_t ComPort = 0;  // 1..9; 0 = no port remembered
    bool ComDtr = false, ComRts = false;
    int32_t ComMaxAttempts = kDefaultComMaxAttempts;
    std::unique_ptr<ISerialPort> ComHandle;
    bool Q1Supported = false, QSSupported = false, FSupported = false, ISupported = false;
    uint32_t RefreshIntervalMs = kDefaultRefreshMs;
    std::string ReplyText;
    LocalDateTime ReplyTime;

    bool ProtocolDetected() const { return Q1Supported || QSSupported; }
    // HID wins whenever it is usable: every exchange tries it first.
    bool HidUsable() const { return UsbActive && HidDevice && HidDevice->PluggedAndCheckedOut(); }
    bool SerialUsable() const { return ComActive && ComHandle != nullptr; }
};

}  // namespace velt
