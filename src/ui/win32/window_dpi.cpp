#include "ui/win32/window_dpi.h"

#include "sys/win32/loaded_module.h"
#include "ui/dpi_scale.h"

namespace velt::ui {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// user32 is mapped for the process's whole life: no need to hold it.
template <typename Fn>
Fn User32(const char* name) {
    return win::FindEntryPoint<Fn>(::GetModuleHandleA("user32.dll"), name);
}

}  // namespace

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    HDC dc = ::GetDC(window);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSX) : 0;
    if (dc) ::ReleaseDC(window, dc);
    return dpi > 0 ? dpi : kLayoutDpi;
}

SIZE WindowSizeForClient(int width, int height, DWORD style, int dpi) {
    static const auto adjustForDpi = User32<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT r{0, 0, width, height};
    if (!adjustForDpi || !adjustForDpi(&r, style, FALSE, 0, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&r, style, FALSE, 0);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace velt::ui
