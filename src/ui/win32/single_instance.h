#pragma once
// The two named mutexes of a running Veltrano, "VeltMutex" and
// "DataVeltMutex": finding the second already created is how a second copy
// notices the first. The data lock beside them is a critical section of this
// process: only its own two threads share it.
#include <memory>

#include "sys/win32/critical_section_lock.h"
#include "sys/win32/named_mutex.h"
#include "sys/win32/win_handle.h"

namespace velt::ui {

inline constexpr const char* kInstanceMutexName = "VeltMutex";
inline constexpr const char* kDataMutexName = "DataVeltMutex";

struct AppMutexes {
    win::Handle instance;  // owned by the main thread, never released until closed
    win::Handle dataName;  // held only to be found
    win::CriticalSectionLock data;

    void Close() {
        instance.reset();
        dataName.reset();
        data.Close();
    }
};

// Null when another copy is running (or the mutexes cannot be had).
std::unique_ptr<AppMutexes> ClaimSingleInstance();

}  // namespace velt::ui
