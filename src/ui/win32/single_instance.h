#pragma once
// The two named mutexes of a running Veltrano: "VeltMutex" marks the instance,
// "DataVeltMutex" is the data lock. Finding the data lock already created is
// how a second copy notices the first.
#include <memory>

#include "sys/win32/named_mutex_lock.h"
#include "sys/win32/win_handle.h"

namespace velt::ui {

inline constexpr const char* kInstanceMutexName = "VeltMutex";
inline constexpr const char* kDataMutexName = "DataVeltMutex";

struct AppMutexes {
    win::Handle instance;  // owned by the main thread, never released until closed
    win::NamedMutexLock data;

    void Close() {
        instance.reset();
        data.Close();
    }
};

// Null when another copy is running (or the mutexes cannot be had).
std::unique_ptr<AppMutexes> ClaimSingleInstance();

}  // namespace velt::ui
