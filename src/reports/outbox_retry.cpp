#include "reports/outbox_retry.h"

#include <algorithm>
#include <array>

#include "core/ups_settings.h"

namespace velt {

namespace {

constexpr std::array<int64_t, 6> kFirstDelays = {30, 60, 120, 300, 600, 1800};
constexpr int64_t kLaterDelay = 3600;

int64_t OutboxSeconds(int outboxHours) { return static_cast<int64_t>(ClampOutboxHours(outboxHours)) * 3600; }

}  // namespace

int ClampOutboxHours(int hours) { return kOutboxHoursRange.Clamp(hours); }

int64_t RetryDelaySeconds(int failures) {
    if (failures < 1) return kFirstDelays.front();
    if (failures > static_cast<int>(kFirstDelays.size())) return kLaterDelay;
    return kFirstDelays[static_cast<size_t>(failures - 1)];
}

std::optional<int64_t> NextTryUtc(int64_t createdUtc, int failures, int64_t failedUtc, int outboxHours) {
    const int64_t next = failedUtc + RetryDelaySeconds(failures);
    if (next >= createdUtc + OutboxSeconds(outboxHours)) return std::nullopt;
    return next;
}

bool OutboxExpired(int64_t createdUtc, int64_t nowUtc, int outboxHours) {
    return nowUtc >= createdUtc + OutboxSeconds(outboxHours);
}

}  // namespace velt
