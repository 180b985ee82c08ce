#pragma once
// SerialLine: how the serial link is set up, one field per registry value.
// The link owns the values in use; the settings object carries them through
// a load or a save.
#include <cstdint>

namespace velt {

constexpr int32_t kDefaultComMaxAttempts = 5;

struct SerialLine {
    int32_t ComPort = 0;  // 1..9; 0 = no port remembered, the port dialog asks
    bool ComDtr = false, ComRts = false;
    int32_t ComMaxAttempts = kDefaultComMaxAttempts;  // tries after the first

    bool operator==(const SerialLine&) const = default;
};

}  // namespace velt
