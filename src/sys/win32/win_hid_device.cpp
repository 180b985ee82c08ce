#include "sys/win32/win_hid_device.h"

#include <windows.h>
#include "sys/win32/hid_sdi.h"

#include "sys/win32/hid_access.h"
#include "sys/win32/system_error_text.h"

namespace velt::win {

WinHidDevice::~WinHidDevice() { CloseRead(); }

bool WinHidDevice::Fail() {
    lastError_ = win::LastErrorText();
    return false;
}

void WinHidDevice::CloseAll() {
    CloseRead();
    CloseSync();
}

bool WinHidDevice::OpenSync() {
    sync_ = OpenHidPath(info_.path, HidOpen::Sync);
    return sync_.valid() || Fail();
}

// A synchronous HID write ends when the driver has delivered the report (or its
// transfer timed out); it has no time limit of its own.
bool WinHidDevice::WriteReport(const uint8_t* report, size_t len, size_t& written) {
    DWORD n = 0;
    const BOOL ok = ::WriteFile(sync_.get(), report, static_cast<DWORD>(len), &n, nullptr);
    written = n;
    return ok || Fail();
}

void WinHidDevice::CloseSync() { sync_.reset(); }

bool WinHidDevice::OpenRead() {
    read_ = OpenHidPath(info_.path, HidOpen::Overlapped);
    return read_.valid() || Fail();
}

bool WinHidDevice::StartRead(uint8_t* dst, size_t len) {
    return io_.StartRead(read_.get(), dst, len) || Fail();
}

WaitOutcome WinHidDevice::WaitAlertable(unsigned ms) { return AlertableWait(ms); }

size_t WinHidDevice::LastReadCount() { return io_.Transferred(read_.get()); }

bool WinHidDevice::CancelPending() { return io_.Cancel(read_.get()) || Fail(); }

void WinHidDevice::CloseRead() {
    if (!read_) return;
    io_.Cancel(read_.get());
    read_.reset();
}

void WinHidDevice::SetInputBuffers(unsigned count) {
    if (sync_) ::HidD_SetNumInputBuffers(sync_.get(), count);
    if (read_) ::HidD_SetNumInputBuffers(read_.get(), count);
}

}  // namespace velt::win
