#pragma once
// Times of the history's feeds: a stored second shown as local time with its
// offset, and the ISO 8601 times a client asks for.
#include <cstdint>
#include <optional>
#include <string_view>

#include "sys/clock.h"

namespace velt {

// The wall-clock reading `utcOffsetMinutes` east of UTC at `utcSeconds`.
LocalDateTime LocalTimeAt(int64_t utcSeconds, int utcOffsetMinutes);

// Seconds since 1970 UTC of "2026-12-01T10:00:00Z", "...+01:00" (or
// "+0100", "+01"), "2026-12-01T10:00" and a date alone. A time without an
// offset, and a date (its midnight), are local at `localOffsetMinutes`. A
// blank stands for '+' in the offset, as a form's encoding turns '+' into one.
// None for anything else, or a day, hour or minute out of its range.
std::optional<int64_t> ParseIsoTime(std::string_view text, int localOffsetMinutes);

}  // namespace velt
