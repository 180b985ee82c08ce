#pragma once
// One HID device interface as the exchange uses it: an overlapped handle for
// the output report, opened and closed around each write, and another for
// input reports.
#include <atomic>
#include <string>

#include "sys/hid_device.h"
#include "sys/win32/hid_enumerator.h"
#include "sys/win32/overlapped_io.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

class WinHidDevice final : public IHidDevice {
public:
    explicit WinHidDevice(HidDeviceInfo info) : info_(std::move(info)) {}
    ~WinHidDevice() override;

    uint16_t VendorId() const override { return info_.vid; }
    uint16_t ProductId() const override { return info_.pid; }
    std::string ProductName() const override { return info_.product; }
    const std::string& Path() const { return info_.path; }

    // The controller sets both states on the main thread; the worker asks
    // before every poll, so this must not touch the device.
    bool PluggedAndCheckedOut() const override { return plugged_ && checkedOut_; }
    void MarkRemoved() { plugged_ = false; }
    void SetCheckedOut(bool checkedOut) { checkedOut_ = checkedOut; }
    void CloseAll();

    size_t OutputReportLength() const override { return info_.outputReportLength; }
    bool OpenWrite() override;
    bool WriteReport(const uint8_t* report, size_t len, unsigned ms) override;
    void CloseWrite() override;

    bool ReadHandleOpen() const override { return read_.valid(); }
    bool OpenRead() override;
    bool StartRead(uint8_t* dst, size_t len) override;
    WaitOutcome WaitAlertable(unsigned ms) override;
    size_t LastReadCount() override;
    bool CancelPending() override;
    void CloseRead() override;

    void SetInputBuffers(unsigned count) override;
    std::string LastErrorText() const override { return lastError_; }

private:
    bool Fail();  // captures the last error's text; gives false

    HidDeviceInfo info_;
    std::atomic<bool> plugged_{true};
    std::atomic<bool> checkedOut_{false};
    Handle write_;
    OverlappedIo writeIo_;
    Handle read_;
    OverlappedIo io_;
    std::string lastError_;
};

}  // namespace velt::win
