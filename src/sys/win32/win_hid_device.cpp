#include "sys/win32/win_hid_device.h"

#include <windows.h>
#include "sys/win32/hid_sdi.h"

#include "sys/win32/hid_access.h"
#include "sys/win32/system_error_text.h"

namespace velt::win {

WinHidDevice::~WinHidDevice() { CloseAll(); }

bool WinHidDevice::Fail() {
    lastError_ = win::LastErrorText();
    return false;
}

void WinHidDevice::CloseAll() {
    CloseRead();
    CloseWrite();
}

bool WinHidDevice::OpenWrite() {
    write_ = OpenHidPath(info_.path, HidOpen::Overlapped);
    return write_.valid() || Fail();
}

// A device that stops taking reports would hold a synchronous write for good;
// the overlapped one is given up after `ms`.
bool WinHidDevice::WriteReport(const uint8_t* report, size_t len, unsigned ms) {
    if (!writeIo_.StartWrite(write_.get(), report, len)) return Fail();
    const bool finished = AlertableWait(ms) == WaitOutcome::IoCompleted;
    const size_t sent = finished ? writeIo_.Transferred(write_.get()) : 0;
    if (sent == len) return true;
    if (!finished) ::SetLastError(ERROR_TIMEOUT);
    else if (sent != 0) ::SetLastError(ERROR_WRITE_FAULT);  // a short write
    Fail();
    writeIo_.Cancel(write_.get());
    return false;
}

void WinHidDevice::CloseWrite() {
    if (!write_) return;
    writeIo_.Cancel(write_.get());
    write_.reset();
}

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
    if (write_) ::HidD_SetNumInputBuffers(write_.get(), count);
    if (read_) ::HidD_SetNumInputBuffers(read_.get(), count);
}

}  // namespace velt::win
