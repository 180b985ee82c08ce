#include "net/nut_tracking.h"

#include <algorithm>
#include <cstdio>

namespace velt {

std::string NutTrackingId(uint64_t high, uint64_t low) {
    high = (high & ~0xF000ull) | 0x4000ull;                         // version 4
    low = (low & ~(0xC000ull << 48)) | (0x8000ull << 48);           // RFC 4122 variant
    char text[40];
    std::snprintf(text, sizeof text, "%08llx-%04llx-%04llx-%04llx-%012llx",
                  static_cast<unsigned long long>(high >> 32), static_cast<unsigned long long>((high >> 16) & 0xFFFF),
                  static_cast<unsigned long long>(high & 0xFFFF), static_cast<unsigned long long>(low >> 48),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
    return text;
}

NutTracking::NutTracking(size_t kept) : kept_(std::max<size_t>(kept, 1)), random_(std::random_device{}()) {}

std::string NutTracking::Start() {
    std::lock_guard lock(mutex_);
    const uint64_t high = random_(), low = random_();
    std::string id = NutTrackingId(high, low);
    if (entries_.size() == kept_) entries_.pop_front();
    entries_.push_back({id, NutCommandState::Pending});
    return id;
}

void NutTracking::Finish(const std::string& id, bool succeeded) {
    std::lock_guard lock(mutex_);
    for (Entry& entry : entries_)
        if (entry.id == id) entry.state = succeeded ? NutCommandState::Success : NutCommandState::Failed;
}

std::optional<NutCommandState> NutTracking::State(const std::string& id) const {
    std::lock_guard lock(mutex_);
    for (const Entry& entry : entries_)
        if (entry.id == id) return entry.state;
    return std::nullopt;
}

}  // namespace velt
