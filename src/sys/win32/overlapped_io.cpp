#include "sys/win32/overlapped_io.h"

#include <algorithm>

namespace velt::win {

namespace {
constexpr unsigned kDrainStepMs = 10;
}

WaitOutcome AlertableWait(unsigned ms) {
    return ::SleepEx(ms, TRUE) == WAIT_IO_COMPLETION ? WaitOutcome::IoCompleted : WaitOutcome::TimedOut;
}

OverlappedIo::~OverlappedIo() {
    // The owner cancels before it closes its handle; a block still in flight
    // here would be written by the system later, so it is given up, not freed.
    if (InFlight()) (void)block_.release();
}

void CALLBACK OverlappedIo::MarkFinished(DWORD, DWORD, OVERLAPPED* ov) {
    reinterpret_cast<Block*>(ov)->finished = true;
}

OverlappedIo::Block& OverlappedIo::FreshBlock(HANDLE h, size_t len) {
    if (InFlight()) Cancel(h);
    if (!block_) block_ = std::make_unique<Block>();
    block_->ov = OVERLAPPED{};
    block_->data.resize(std::max<size_t>(len, 1));
    readDst_ = nullptr;
    readLen_ = 0;
    copied_ = false;
    return *block_;
}

bool OverlappedIo::StartRead(HANDLE h, uint8_t* dst, size_t len) {
    Block& b = FreshBlock(h, len);
    b.finished = false;
    if (!::ReadFileEx(h, b.data.data(), static_cast<DWORD>(len), &b.ov, &OverlappedIo::MarkFinished)) {
        b.finished = true;
        return false;
    }
    readDst_ = dst;
    readLen_ = len;
    return true;
}

bool OverlappedIo::StartWrite(HANDLE h, const uint8_t* data, size_t len) {
    Block& b = FreshBlock(h, len);
    std::copy_n(data, len, b.data.begin());
    b.finished = false;
    if (!::WriteFileEx(h, b.data.data(), static_cast<DWORD>(len), &b.ov, &OverlappedIo::MarkFinished)) {
        b.finished = true;
        return false;
    }
    return true;
}

size_t OverlappedIo::Transferred(HANDLE h) {
    if (!block_) return 0;
    DWORD count = 0;
    if (!::GetOverlappedResult(h, &block_->ov, &count, FALSE)) return 0;
    const size_t n = std::min<size_t>(count, block_->data.size());
    if (readDst_ && !copied_) {
        std::copy_n(block_->data.begin(), std::min(n, readLen_), readDst_);
        copied_ = true;
    }
    return n;
}

bool OverlappedIo::Cancel(HANDLE h) {
    const bool ok = ::CancelIo(h) != FALSE;
    Drain();
    return ok;
}

void OverlappedIo::Drain() {
    for (unsigned waited = 0; InFlight() && waited < kDrainLimitMs; waited += kDrainStepMs)
        ::SleepEx(waited == 0 ? 0 : kDrainStepMs, TRUE);
    // A driver that never finishes the cancel keeps its block for good; the
    // next operation gets a new one.
    if (InFlight()) (void)block_.release();
}

}  // namespace velt::win
