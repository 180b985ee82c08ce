#pragma once
// The layout table is drawn at 96 DPI; the window scales it to the DPI of the
// monitor it shows on, when it creates its controls and when that DPI changes.
// Edges are scaled rather than sizes, so controls that touch at 96 DPI still
// touch, and controls apart stay apart, at every DPI.
#include "ui/main_layout.h"

namespace velt::ui {

inline constexpr int kLayoutDpi = 96;

// `value` pixels at 96 DPI as pixels at `dpi`, rounded to the nearest, halves
// away from zero (as the system's MulDiv does).
int ScaleToDpi(int value, int dpi);
// Each edge of `box` scaled on its own.
layout::Box ScaleToDpi(const layout::Box& box, int dpi);

}  // namespace velt::ui
