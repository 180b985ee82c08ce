#pragma once
// TUPSLink: the one record describing the current connection and the last reply.
// Every field is read and written only while the data lock is held.
#include <cstdint>
#include <memory>
#include <string>

#include "core/serial_line.h"
#include "sys/clock.h"
#include "sys/hid_device.h"
#include "sys/serial_port.h"

namespace velt {

constexpr size_t kMaxReplyChars = 255;
constexpr unsigned kDefaultRefreshMs = 3000;

// The serial line is a base, so its fields read as the link's own (link.ComPort).
struct TUPSLink : SerialLine {
    bool Monitoring = false;
    bool UsbActive = false;
    bool ComActive = false;
    IHidDevice* HidDevice = nullptr;  // owned by the HID device controller
    uint16_t Vid = 0, Pid = 0;
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
