#include "ui/win32/single_instance.h"

namespace velt::ui {

std::unique_ptr<AppMutexes> ClaimSingleInstance() {
    win::CreatedMutex instance = win::CreateNamedMutex(kInstanceMutexName, true);
    win::CreatedMutex data = win::CreateNamedMutex(kDataMutexName, false);
    if (data.alreadyExisted || !data.handle) return nullptr;
    auto mutexes = std::make_unique<AppMutexes>();
    mutexes->instance = std::move(instance.handle);
    mutexes->dataName = std::move(data.handle);
    return mutexes;
}

}  // namespace velt::ui
