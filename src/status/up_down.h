#pragma once
// An up-down control's model: a range and a position. The position may leave the
// range only when set directly (a stored value); stepping never does.
#include <cstdint>

namespace velt {

struct UpDownModel {
    int32_t min = 0, max = 100, position = 0, increment = 1;
    bool InRange(int32_t p) const { return p >= min && p <= max; }
};

}  // namespace velt
