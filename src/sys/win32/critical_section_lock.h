#pragma once
// The data lock as a critical section: recursive for its owner, which the
// connect relies on (a modal dialog inside it may run handlers that take the
// lock again), and free of kernel calls while nobody else holds it. Under
// Wine a named mutex costs a wineserver round trip for each take and each
// release, four for every reply.
#include <windows.h>

#include <atomic>

#include "sys/data_lock.h"

namespace velt::win {

class CriticalSectionLock final : public IDataLock {
public:
    CriticalSectionLock() { ::InitializeCriticalSection(&section_); }
    // A worker stuck in an exchange at exit may still hold it: it is then
    // left to the process's end.
    ~CriticalSectionLock() override {
        if (!closed_) ::DeleteCriticalSection(&section_);
    }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

    // Waits without a time limit: every holder is bounded, and the worker must
    // be able to wait through a system suspend during which the main thread
    // holds the lock.
    void Lock() override {
        if (!closed_) ::EnterCriticalSection(&section_);
    }
    void Unlock() override {
        if (!closed_) ::LeaveCriticalSection(&section_);
    }
    // At exit; Lock and Unlock then do nothing, so that a worker stuck with
    // the lock cannot hold up what remains.
    void Close() { closed_ = true; }

private:
    CRITICAL_SECTION section_;
    std::atomic<bool> closed_{false};
};

}  // namespace velt::win
