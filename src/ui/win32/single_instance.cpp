#include "ui/win32/single_instance.h"

namespace velt::ui {

std::unique_ptr<AppMutexes> ClaimSingleInstance() {
    win::CreatedMutex instance = win::CreateNamedMutex(kInstanceMutexName, true);
    win::CreatedMutex data = win::CreateNamedMutex(kDataMutexName, false);
    if (data.alreadyExisted || !data.handle) return nullptr;
    return std::unique_ptr<AppMutexes>(
        new AppMutexes{std::move(instance.handle), win::NamedMutexLock(std::move(data.handle))});
}

}  // namespace velt::ui
