#pragma once
// One overlapped operation at a time on a handle, started with ReadFileEx or
// WriteFileEx. The data travels through a buffer owned here, not the caller's:
// a cancelled operation can still be finishing in the driver after CancelIo
// returns, and must never write into memory the caller has already let go.
// The completion routine only marks the operation finished (the caller learns
// of completion from its alertable wait); cancelling waits, briefly and
// alertably, for that mark, so no stale completion routine is left queued to
// end the thread's next alertable wait early.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sys/io_wait.h"

namespace velt::win {

// SleepEx(ms, alertable): IoCompleted when a completion routine ended it early.
WaitOutcome AlertableWait(unsigned ms);

class OverlappedIo {
public:
    OverlappedIo() = default;
    ~OverlappedIo();
    OverlappedIo(const OverlappedIo&) = delete;
    OverlappedIo& operator=(const OverlappedIo&) = delete;

    // False when the operation could not be started; GetLastError() then tells why.
    bool StartRead(HANDLE h, uint8_t* dst, size_t len);
    bool StartWrite(HANDLE h, const uint8_t* data, size_t len);
    // Byte count of the last operation, without waiting; 0 while it is still
    // running or when it failed. A finished read is copied to its destination here.
    size_t Transferred(HANDLE h);
    // CancelIo's result; then waits up to kDrainLimitMs for the cancelled
    // operation's completion routine. Must be called before `h` is closed.
    bool Cancel(HANDLE h);

    static constexpr unsigned kDrainLimitMs = 1000;

private:
    struct Block {
        OVERLAPPED ov{};  // first member: the completion routine finds the block through it
        bool finished = true;
        std::vector<uint8_t> data;
    };
    static void CALLBACK MarkFinished(DWORD error, DWORD count, OVERLAPPED* ov);

    Block& FreshBlock(HANDLE h, size_t len);
    void Drain();
    bool InFlight() const { return block_ && !block_->finished; }

    std::unique_ptr<Block> block_;
    uint8_t* readDst_ = nullptr;  // where a finished read is copied
    size_t readLen_ = 0;
    bool copied_ = false;
};

}  // namespace velt::win
