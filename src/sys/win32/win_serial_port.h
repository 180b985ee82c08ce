#pragma once
// A COM port opened for overlapped I/O, and the factory that opens one by number.
#include <memory>
#include <string>

#include "sys/serial_port.h"
#include "sys/win32/overlapped_io.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

class WinSerialPort final : public ISerialPort {
public:
    explicit WinSerialPort(Handle port) : port_(std::move(port)) {}
    ~WinSerialPort() override;  // cancels what is in flight, then closes

    bool GetLineSettings(SerialLineSettings& out) override;
    bool SetLineSettings(const SerialLineSettings& s) override;
    bool SetTimeouts(const SerialTimeouts& t) override;
    bool Purge() override;
    bool SetDtr(bool raised) override;
    bool SetEventMaskRxChar() override;

    bool StartWrite(const uint8_t* data, size_t len) override;
    bool StartRead(uint8_t* dst, size_t len) override;
    WaitOutcome WaitAlertable(unsigned ms) override;
    size_t LastTransferred() override;
    bool CancelPending() override;
    std::string LastErrorText() const override { return lastError_; }

private:
    // Keeps GetLastError()'s text for `operation`; gives false.
    bool Fail(const char* operation);

    Handle port_;
    std::string lastError_;
    DCB dcb_{};  // as last read: the fields we do not set are written back unchanged
    bool dcbRead_ = false;
    OverlappedIo io_;
};

class WinSerialPortFactory final : public ISerialPortFactory {
public:
    std::unique_ptr<ISerialPort> Open(int number) override;
    std::string LastErrorText() const override { return lastError_; }

private:
    std::string lastError_;
};

}  // namespace velt::win
