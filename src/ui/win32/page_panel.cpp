#include "ui/win32/page_panel.h"

#include "ui/win32/window_class.h"

namespace velt::ui {

namespace {

constexpr const char* kPagePanelClass = "VeltranoPagePanel";

LRESULT CALLBACK PagePanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_CTLCOLORSTATIC:
            return ::SendMessageA(::GetParent(hwnd), msg, wParam, lParam);
        default:
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

bool RegisterPagePanelClass(HINSTANCE inst) {
    return RegisterWindowClass({.name = kPagePanelClass, .proc = PagePanelProc, .instance = inst,
                                .background = COLOR_BTNFACE});
}

HWND CreatePagePanel(HWND parent, int id, const RECT& area) {
    return ::CreateWindowExA(WS_EX_CONTROLPARENT, kPagePanelClass, nullptr, WS_CHILD | WS_CLIPSIBLINGS,
                             area.left, area.top, area.right - area.left, area.bottom - area.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                             nullptr);
}

}  // namespace velt::ui
