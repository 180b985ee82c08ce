#pragma once
// HID seam: the operations one HID exchange needs for the checked-out device.
// The device keeps two overlapped handles: one for the output report, opened
// and closed around each write, and one for input reports.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sys/io_wait.h"

namespace velt {

class IHidDevice {
public:
    virtual ~IHidDevice() = default;

    virtual uint16_t VendorId() const = 0;
    virtual uint16_t ProductId() const = 0;
    virtual std::string ProductName() const = 0;
    // Still plugged in and checked out by this program.
    virtual bool PluggedAndCheckedOut() const = 0;

    // The output report's length from the device's capabilities, report id
    // byte included; 0 when they could not be read. The system takes no other.
    virtual size_t OutputReportLength() const = 0;

    virtual bool OpenWrite() = 0;
    // Sends one output report and waits at most `ms` for it; a write still
    // running then is cancelled. True only when the whole report went out.
    virtual bool WriteReport(const uint8_t* report, size_t len, unsigned ms) = 0;
    virtual void CloseWrite() = 0;

    virtual bool ReadHandleOpen() const = 0;
    virtual bool OpenRead() = 0;
    virtual bool StartRead(uint8_t* dst, size_t len) = 0;
    virtual WaitOutcome WaitAlertable(unsigned ms) = 0;
    virtual size_t LastReadCount() = 0;  // 0 when it cannot be had
    virtual bool CancelPending() = 0;
    virtual void CloseRead() = 0;

    // Input-report queue length on every open handle; a refusal is ignored.
    virtual void SetInputBuffers(unsigned count) = 0;

    // The system's text for the last error, read right after a failed call.
    virtual std::string LastErrorText() const = 0;
};

}  // namespace velt
