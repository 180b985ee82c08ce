#pragma once
// HistoryChart: the control that paints the history's chart with GDI, through
// a memory DC each time so it never flickers, in the font the window gives it
// (WM_SETFONT) and with pens scaled for the window's DPI. Input voltage,
// load and charge each in a colour of its own under a legend, outages shaded,
// the axes' ticks labelled. Its window text is what it shows in words, so the
// UI probe can read it. Main thread only.
#include <windows.h>

#include <string>

#include "reports/history_chart.h"

namespace velt::ui {

inline constexpr const char* kHistoryChartClass = "VeltranoHistoryChart";

// Registers the class once per process; false on failure.
bool RegisterHistoryChartClass(HINSTANCE inst);
// Shows `chart`; an empty one shows `message` in its place. A `message` with
// no chart at all (an error) shows alone.
void SetHistoryChart(HWND view, HistoryChart chart, const std::string& message);

}  // namespace velt::ui
