#include "net/nut_login_guard.h"

#include <algorithm>

namespace velt {

bool NutLoginGuard::Blocked(const std::string& address, Clock::time_point now) const {
    const auto it = records_.find(address);
    return it != records_.end() && now < it->second.blockedUntil;
}

bool NutLoginGuard::Failed(const std::string& address, Clock::time_point now) {
    if (!records_.count(address) && records_.size() >= limits_.addresses) ForgetOldest();
    Record& record = records_[address];
    auto& failures = record.failures;
    while (!failures.empty() && now - failures.front() >= limits_.window) failures.pop_front();
    failures.push_back(now);
    if (failures.size() < limits_.failures) return false;
    failures.clear();
    record.blockedUntil = now + limits_.block;
    return true;
}

// A blocked address has no failures left on record, only its block: its
// block's start stands for its last failure.
void NutLoginGuard::ForgetOldest() {
    const auto last = [this](const Record& r) {
        return r.failures.empty() ? r.blockedUntil - limits_.block : r.failures.back();
    };
    const auto oldest = std::min_element(records_.begin(), records_.end(), [&](const auto& a, const auto& b) {
        return last(a.second) < last(b.second);
    });
    if (oldest != records_.end()) records_.erase(oldest);
}

}  // namespace velt
