#pragma once
// Work that another thread hands to the main thread without waiting for it:
// the result of a background send. Tasks run later on the main thread, in the
// order posted; once the window is gone they are dropped.
#include <functional>

namespace velt {

class IMainThreadPost {
public:
    virtual ~IMainThreadPost() = default;
    virtual void Post(std::function<void()> task) = 0;  // any thread
};

}  // namespace velt
