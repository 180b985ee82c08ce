#pragma once
// Serial port seam: the primitive operations the exchange and port set-up need.
// Every method is called on the thread that owns the port at that moment (the
// data lock holder); alertable waits only see completions of that same thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "sys/io_wait.h"

namespace velt {

// How the port drives DTR or RTS; the values are the DCB's. DTR has no Toggle.
enum class LineControl : uint8_t { Disable = 0, Enable = 1, Handshake = 2, Toggle = 3 };

// The line settings the program changes; everything else a port has is kept
// as the port reported it.
struct SerialLineSettings {
    uint32_t baudRate = 0;
    uint8_t byteSize = 8;
    uint8_t parity = 0;    // 0 = none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t stopBits = 0;  // 0 = one stop bit, 1 = one and a half, 2 = two
    char eofChar = 0, errorChar = 0, evtChar = 0, xonChar = 0x11, xoffChar = 0x13;
    uint16_t xonLim = 0, xoffLim = 0;
    // Flow control: XON/XOFF on input and output, CTS/DSR holding output back,
    // DSR gating input, and reads and writes aborted after a line error.
    bool inX = false, outX = false;
    bool outxCtsFlow = false, outxDsrFlow = false, dsrSensitivity = false;
    bool abortOnError = false;
    LineControl dtrControl = LineControl::Enable, rtsControl = LineControl::Enable;
};

struct SerialTimeouts {
    uint32_t readInterval = 0, readTotalMultiplier = 0, readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0, writeTotalConstant = 0;
};

class ISerialPort {
public:
    virtual ~ISerialPort() = default;

    virtual bool GetLineSettings(SerialLineSettings& out) = 0;
    // Writes back what GetLineSettings read, with the given fields changed.
    virtual bool SetLineSettings(const SerialLineSettings& s) = 0;
    virtual bool SetTimeouts(const SerialTimeouts& t) = 0;
    virtual bool Purge() = 0;  // discard pending transmit and receive data
    // Only while DTR is not in handshake mode.
    virtual bool SetDtr(bool raised) = 0;
    virtual bool SetEventMaskRxChar() = 0;

    // Start an overlapped write/read; false when it could not be started.
    virtual bool StartWrite(const uint8_t* data, size_t len) = 0;
    virtual bool StartRead(uint8_t* dst, size_t len) = 0;
    virtual WaitOutcome WaitAlertable(unsigned ms) = 0;
    // Byte count of the last completed operation, without waiting.
    virtual size_t LastTransferred() = 0;
    virtual bool CancelPending() = 0;

    // Why the last call that gave false failed, for the log:
    // "operation: (0x0000001F) message".
    virtual std::string LastErrorText() const = 0;
};

class ISerialPortFactory {
public:
    virtual ~ISerialPortFactory() = default;
    // Opens "COM" + number for overlapped read/write without sharing; null on failure.
    virtual std::unique_ptr<ISerialPort> Open(int number) = 0;
    // Why the last Open gave null, as ISerialPort::LastErrorText says it.
    virtual std::string LastErrorText() const = 0;
};

}  // namespace velt
