#include "ui/led_bar_geometry.h"

namespace velt::ui {

std::vector<LedSegment> LedSegments(int width, int position, const LedBarStyle& style) {
    std::vector<LedSegment> out;
    const int pitch = style.segmentWidth + style.gap;
    const int count = pitch > 0 ? (width + style.gap) / pitch : 0;
    if (count <= 0 || style.max <= 0) return out;
    // Segment i stands for the values from i * max / count up to the next one;
    // it is lit once the position reaches its middle.
    for (int i = 0; i < count; ++i) {
        LedSegment s;
        s.left = i * pitch;
        s.right = s.left + style.segmentWidth;
        const int middleTwice = (2 * i + 1) * style.max;  // twice the middle, times count
        s.lit = 2 * position * count >= middleTwice;
        s.high = middleTwice >= 2 * style.breakAt * count;
        out.push_back(s);
    }
    return out;
}

}  // namespace velt::ui
