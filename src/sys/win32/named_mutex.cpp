#include "sys/win32/named_mutex.h"

namespace velt::win {

CreatedMutex CreateNamedMutex(const char* name, bool initiallyOwned) {
    ::SetLastError(ERROR_SUCCESS);
    CreatedMutex out;
    out.handle.reset(::CreateMutexA(nullptr, initiallyOwned ? TRUE : FALSE, name));
    out.alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
    return out;
}

}  // namespace velt::win
