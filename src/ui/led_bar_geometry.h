#pragma once
// The LED bar gauge's segments: which are lit and in which colour, for a
// position on a 0..max scale. Plain C++, so tests can check it natively.
#include <vector>

namespace velt::ui {

struct LedBarStyle {
    int max = 100;
    int breakAt = 75;  // segments standing for values below it use the low colour
    int segmentWidth = 4;
    int gap = 1;
};

struct LedSegment {
    int left = 0, right = 0;  // pixels, right exclusive
    bool lit = false;
    bool high = false;  // high colour (lime) rather than low (red)
};

// Segments across `width` pixels, left to right; a position below 0 lights
// none, one above the maximum lights all (the caller keeps such positions out).
inline std::vector<LedSegment> LedSegments(int width, int position, const LedBarStyle& style = {}) {
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
