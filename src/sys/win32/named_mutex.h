#pragma once
// Named mutexes, by which a running copy of the program is found.
#include "sys/win32/win_handle.h"

namespace velt::win {

struct CreatedMutex {
    Handle handle;               // empty when the creation failed
    bool alreadyExisted = false;  // another process created it first
};

CreatedMutex CreateNamedMutex(const char* name, bool initiallyOwned);

}  // namespace velt::win
