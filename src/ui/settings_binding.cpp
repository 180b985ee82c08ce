#include "ui/settings_binding.h"

namespace velt::ui::binding {

bool ParseTyped(const std::string& text, Range range, int32_t& out) {
    if (text.empty()) return false;
    long long v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        if (v < 1000000) v = v * 10 + (c - '0');
    }
    out = range.Clamp(static_cast<int32_t>(v));
    return true;
}

}  // namespace velt::ui::binding
