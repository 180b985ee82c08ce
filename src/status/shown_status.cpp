#include "status/shown_status.h"

#include <utility>

namespace velt {

void TShownStatusPublisher::Publish(TShownStatus status) {
    std::shared_ptr<const TShownStatus> next = std::make_shared<const TShownStatus>(std::move(status));
    {
        std::lock_guard<std::mutex> guard(mutex_);
        current_.swap(next);
    }
    // `next` now holds the previous snapshot; when no reader holds it any more it
    // is freed here, outside the lock.
}

std::shared_ptr<const TShownStatus> TShownStatusPublisher::Current() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return current_;
}

}  // namespace velt
