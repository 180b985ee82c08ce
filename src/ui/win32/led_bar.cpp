#include "ui/win32/led_bar.h"

#include <string>

#include "sys/win32/win_handle.h"
#include "ui/dpi_scale.h"
#include "ui/led_bar_geometry.h"
#include "ui/win32/window_class.h"
#include "ui/win32/window_dpi.h"

namespace velt::ui {

namespace {

constexpr int kStartPosition = 100;
constexpr COLORREF kBackground = RGB(0, 0, 0);
constexpr COLORREF kLowLit = RGB(255, 0, 0), kLowDim = RGB(80, 0, 0);
constexpr COLORREF kHighLit = RGB(0, 255, 0), kHighDim = RGB(0, 80, 0);
constexpr int kMargin = 2;

int Position(HWND bar) { return static_cast<int>(::GetWindowLongPtrA(bar, 0)); }

// Segments, gaps and margin keep their proportions at every DPI.
LedBarStyle StyleAt(int dpi) {
    LedBarStyle style;
    style.segmentWidth = ScaleToDpi(style.segmentWidth, dpi);
    style.gap = ScaleToDpi(style.gap, dpi);
    return style;
}

COLORREF SegmentColour(const LedSegment& s) {
    if (s.high) return s.lit ? kHighLit : kHighDim;
    return s.lit ? kLowLit : kLowDim;
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    win::GdiObject brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void Paint(HWND bar) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(bar, &ps);
    RECT client{};
    ::GetClientRect(bar, &client);
    FillSolid(dc, client, kBackground);
    const int dpi = WindowDpi(bar);
    const int margin = ScaleToDpi(kMargin, dpi);
    for (const LedSegment& s : LedSegments(client.right - 2 * margin, Position(bar), StyleAt(dpi))) {
        const RECT r{margin + s.left, margin, margin + s.right, client.bottom - margin};
        FillSolid(dc, r, SegmentColour(s));
    }
    ::EndPaint(bar, &ps);
}

LRESULT CALLBACK LedBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            SetLedBarPosition(hwnd, kStartPosition);
            return 0;
        case WM_PAINT:
            Paint(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything
        default:
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

bool RegisterLedBarClass(HINSTANCE inst) {
    // The position lives in the window's one extra slot.
    return RegisterWindowClass({.name = kLedBarClass, .proc = LedBarProc, .instance = inst,
                                .extraBytes = sizeof(LONG_PTR)});
}

void SetLedBarPosition(HWND bar, int position) {
    if (!bar) return;
    ::SetWindowLongPtrA(bar, 0, position);
    ::SetWindowTextA(bar, std::to_string(position).c_str());
    ::InvalidateRect(bar, nullptr, FALSE);
}

}  // namespace velt::ui
