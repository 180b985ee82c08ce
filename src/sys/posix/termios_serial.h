#pragma once
// ISerialPort over a termios device (a pty in native tests). Emulates the
// overlapped model: a started read completes after the configured total read
// time-out with whatever arrived, or earlier when its buffer is full.
#include <map>
#include <string>

#include "sys/serial_port.h"

namespace velt {

class TermiosSerialPort : public ISerialPort {
public:
    explicit TermiosSerialPort(int fd) : fd_(fd) {}
    ~TermiosSerialPort() override;
    TermiosSerialPort(const TermiosSerialPort&) = delete;
    TermiosSerialPort& operator=(const TermiosSerialPort&) = delete;

    bool GetLineSettings(SerialLineSettings& out) override;
    bool SetLineSettings(const SerialLineSettings& s) override;
    bool SetTimeouts(const SerialTimeouts& t) override;
    bool Purge() override;
    bool SetDtr(bool raised) override;
    bool SetEventMaskRxChar() override { return true; }

    bool StartWrite(const uint8_t* data, size_t len) override;
    bool StartRead(uint8_t* dst, size_t len) override;
    WaitOutcome WaitAlertable(unsigned ms) override;
    size_t LastTransferred() override { return last_; }
    bool CancelPending() override;
    std::string LastErrorText() const override { return lastError_; }

private:
    bool SetModemLine(int bit, bool raised);
    // Keeps errno's text for `operation`; gives false.
    bool Fail(const char* operation);

    int fd_;
    SerialTimeouts timeouts_;
    enum class Pending { None, Write, Read } pending_ = Pending::None;
    uint8_t* readDst_ = nullptr;
    size_t readLen_ = 0, readGot_ = 0, last_ = 0;
    long long readDeadlineMs_ = 0;
    std::string lastError_;
};

// Maps COM numbers to device paths.
class TermiosPortFactory : public ISerialPortFactory {
public:
    explicit TermiosPortFactory(std::map<int, std::string> paths) : paths_(std::move(paths)) {}
    std::unique_ptr<ISerialPort> Open(int number) override;
    std::string LastErrorText() const override { return lastError_; }

private:
    std::map<int, std::string> paths_;
    std::string lastError_;
};

}  // namespace velt
