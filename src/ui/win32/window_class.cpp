#include "ui/win32/window_class.h"

namespace velt::ui {

bool RegisterWindowClass(const WindowClass& c) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = c.proc;
    wc.cbWndExtra = c.extraBytes;
    wc.hInstance = c.instance;
    wc.hIcon = c.icon;
    wc.hIconSm = c.smallIcon;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    // A colour index plus one stands for its brush, which follows the user's colour changes.
    if (c.background) wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(*c.background + 1));
    wc.lpszClassName = c.name;
    return ::RegisterClassExA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace velt::ui
