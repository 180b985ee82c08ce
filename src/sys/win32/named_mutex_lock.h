#pragma once
// The data lock as a named mutex. A Win32 mutex is recursive for its owner,
// which the connect relies on (a modal dialog inside it may run handlers that
// take the lock again).
#include <string>

#include "sys/data_lock.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

struct CreatedMutex {
    Handle handle;               // empty when the creation failed
    bool alreadyExisted = false;  // another process created it first
};

CreatedMutex CreateNamedMutex(const char* name, bool initiallyOwned);

class NamedMutexLock final : public IDataLock {
public:
    explicit NamedMutexLock(Handle mutex) : mutex_(std::move(mutex)) {}

    // Waits without a time limit: every holder is bounded, and the worker must
    // be able to wait through a system suspend during which the main thread
    // holds the lock. An abandoned mutex counts as acquired.
    void Lock() override;
    void Unlock() override;
    // Closes the handle at exit; Lock and Unlock then do nothing.
    void Close() { mutex_.reset(); }

private:
    Handle mutex_;
};

}  // namespace velt::win
