#pragma once
// Creating child controls from the layout table, their tooltips and fonts.
#include <windows.h>

#include "sys/win32/win_handle.h"
#include "ui/main_layout.h"

namespace velt::ui {

// The control described by `spec` as a child of `parent`, showing `text`, its
// box scaled to `dpi`, in `font`. Tool buttons and pictures show `icon` (owned
// by the caller).
HWND CreateControl(HWND parent, const layout::ControlSpec& spec, const char* text, int dpi, HFONT font, HICON icon);
// Moves `control`, made from `spec`, to its box at `dpi` and gives it `font`
// and `icon`; for a change of DPI.
void RescaleControl(HWND control, const layout::ControlSpec& spec, int dpi, HFONT font, HICON icon);
// The pixel size of the icon `spec` shows at `dpi`.
int IconSize(const layout::ControlSpec& spec, int dpi);

HWND CreateTooltips(HWND owner);
// Shows `text` while the mouse rests on `control`.
void AddTooltip(HWND tooltips, HWND control, const char* text);
// Replaces the text shown for `control`.
void SetTooltip(HWND tooltips, HWND control, const char* text);

// The fonts of the main window at `dpi`, owned by the caller: the dialog
// font, a small one for the dense pages, and the dialog font in bold.
win::GdiObject CreateDialogFont(int dpi);
win::GdiObject CreateSmallFont(int dpi);
win::GdiObject CreateBoldFont(int dpi);
// An icon of `size` pixels from the program's resources, owned by the caller.
win::Icon LoadProgramIcon(HINSTANCE inst, int id, int size);
inline win::Icon LoadSmallIcon(HINSTANCE inst, int id) { return LoadProgramIcon(inst, id, 16); }

// An up-down attached to the right edge of `buddy` (an edit of a dialog),
// showing whole numbers from `min` to `max` in steps of `increment`.
HWND CreateUpDownFor(HWND buddy, int id, int min, int max, int position, int increment);
// Steps of `increment` for every arrow click of `upDown`, however long held.
void SetUpDownIncrement(HWND upDown, int increment);

}  // namespace velt::ui
