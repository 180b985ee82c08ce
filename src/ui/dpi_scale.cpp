#include "ui/dpi_scale.h"

#include <cstdint>

namespace velt::ui {

int ScaleToDpi(int value, int dpi) {
    const int64_t product = static_cast<int64_t>(value) * dpi;
    const int64_t magnitude = ((product < 0 ? -product : product) + kLayoutDpi / 2) / kLayoutDpi;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

layout::Box ScaleToDpi(const layout::Box& box, int dpi) {
    const int x = ScaleToDpi(box.x, dpi), y = ScaleToDpi(box.y, dpi);
    return {x, y, ScaleToDpi(box.Right(), dpi) - x, ScaleToDpi(box.Bottom(), dpi) - y};
}

}  // namespace velt::ui
