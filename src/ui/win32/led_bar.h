#pragma once
// BatteryChargeRL: a segmented LED bar on a black background, red below the
// break position and lime above it, dim where unlit. Its window text is the
// position, so the UI probe can read it.
#include <windows.h>

namespace velt::ui {

inline constexpr const char* kLedBarClass = "VeltranoLedBar";

// Registers the class once per process; false on failure.
bool RegisterLedBarClass(HINSTANCE inst);
// 0..100; the caller keeps positions above the maximum out.
void SetLedBarPosition(HWND bar, int position);

}  // namespace velt::ui
