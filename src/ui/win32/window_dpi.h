#pragma once
// The DPI a window is shown at, and the window size that gives a client area
// at that DPI. The per-monitor calls exist only on newer systems, so they are
// looked up by name; older ones get the system DPI, which is what they scale
// to. Main thread only.
#include <windows.h>

namespace velt::ui {

int WindowDpi(HWND window);

// The outer size of a window of `style` whose client area is `width` by
// `height` pixels at `dpi`: the frame and caption as that DPI draws them.
SIZE WindowSizeForClient(int width, int height, DWORD style, int dpi);

}  // namespace velt::ui
