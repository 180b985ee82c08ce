#pragma once
// Creating child controls from the layout table, their tooltips and fonts.
#include <windows.h>

#include "sys/win32/win_handle.h"
#include "ui/win32/main_layout.h"

namespace velt::ui {

// The control described by `spec` as a child of `parent`, in `font`. Tool
// buttons show `icon` (owned by the caller).
HWND CreateControl(HWND parent, const layout::ControlSpec& spec, HFONT font, HICON icon);

HWND CreateTooltips(HWND owner);
// Shows `text` while the mouse rests on `control`.
void AddTooltip(HWND tooltips, HWND control, const char* text);

HFONT DefaultGuiFont();  // stock object: never deleted
// A small font for dense text (the log), owned by the caller.
win::GdiObject CreateSmallFont(HWND reference);
// A 16 x 16 icon from the program's resources, owned by the caller.
win::Icon LoadSmallIcon(HINSTANCE inst, int id);

}  // namespace velt::ui
