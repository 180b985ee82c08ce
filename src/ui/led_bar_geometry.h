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
std::vector<LedSegment> LedSegments(int width, int position, const LedBarStyle& style = {});

}  // namespace velt::ui
