#pragma once
// A plain child window that holds one page of a tab control. It passes its
// controls' notifications and colour requests on to its parent, so the main
// window handles every control in one place whatever page it sits on (panels
// may nest: each passes them one level up).
#include <windows.h>

namespace velt::ui {

// Registers the panel class once per process; false on failure.
bool RegisterPagePanelClass(HINSTANCE inst);
HWND CreatePagePanel(HWND parent, int id, const RECT& area);

}  // namespace velt::ui
