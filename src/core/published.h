#pragma once
// A value that one thread (the main one) publishes and any thread reads as an
// immutable snapshot. A reader keeps its snapshot as long as it likes; a later
// publish never changes it. The lock is held only to swap or copy the pointer,
// never while a snapshot is composed or read, and it is not the data lock.
#include <memory>
#include <mutex>
#include <utility>

namespace velt {

template <typename T>
class Published {
public:
    void Publish(T value) {
        std::shared_ptr<const T> next = std::make_shared<const T>(std::move(value));
        {
            std::lock_guard<std::mutex> guard(mutex_);
            current_.swap(next);
        }
        // `next` now holds the previous snapshot; when no reader holds it any
        // more it is freed here, outside the lock.
    }

    std::shared_ptr<const T> Current() const {
        std::lock_guard<std::mutex> guard(mutex_);
        return current_;
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const T> current_ = std::make_shared<const T>();
};

}  // namespace velt
