#include "sys/win32/named_mutex_lock.h"

namespace velt::win {

CreatedMutex CreateNamedMutex(const char* name, bool initiallyOwned) {
    ::SetLastError(ERROR_SUCCESS);
    CreatedMutex out;
    out.handle.reset(::CreateMutexA(nullptr, initiallyOwned ? TRUE : FALSE, name));
    out.alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
    return out;
}

void NamedMutexLock::Lock() {
    if (!mutex_) return;
    ::WaitForSingleObject(mutex_.get(), INFINITE);
}

void NamedMutexLock::Unlock() {
    if (!mutex_) return;
    ::ReleaseMutex(mutex_.get());
}

}  // namespace velt::win
