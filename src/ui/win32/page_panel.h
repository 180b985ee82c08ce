#pragma once
// A plain child window that holds one page of a tab control. It passes its
// controls' notifications on to its parent, so the main window handles every
// control in one place whatever page it sits on.
#include <windows.h>

namespace velt::ui {

// Registers the panel class once per process; false on failure.
bool RegisterPagePanelClass(HINSTANCE inst);
HWND CreatePagePanel(HWND parent, int id, const RECT& area);

}  // namespace velt::ui
