#pragma once
// When a send that failed for a passing reason is tried again: after 30 s,
// 1, 2, 5, 10 and 30 minutes, then hourly, until "Outbox Hours" after the
// message was written.
#include <cstdint>
#include <optional>

namespace velt {

inline constexpr int kOutboxHoursDefault = 48;
// One hour up to thirty days: a stored alert older than that tells nothing.
int ClampOutboxHours(int hours);

// The wait after the `failures`-th failed send (counting from 1).
int64_t RetryDelaySeconds(int failures);

// When to try again after the `failures`-th failure at `failedUtc`; none
// once that is not before Outbox Hours from `createdUtc` are over.
std::optional<int64_t> NextTryUtc(int64_t createdUtc, int failures, int64_t failedUtc, int outboxHours);

// Whether a message written at `createdUtc` is past Outbox Hours at `nowUtc`.
bool OutboxExpired(int64_t createdUtc, int64_t nowUtc, int outboxHours);

}  // namespace velt
