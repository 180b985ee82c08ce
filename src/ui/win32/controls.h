#pragma once
// Creating child controls from the layout table, their tooltips and fonts.
#include <windows.h>

#include "sys/win32/win_handle.h"
#include "ui/main_layout.h"

namespace velt::ui {

// The control described by `spec` as a child of `parent`, showing `text`, in
// `font`. Tool buttons and pictures show `icon` (owned by the caller).
HWND CreateControl(HWND parent, const layout::ControlSpec& spec, const char* text, HFONT font, HICON icon);

HWND CreateTooltips(HWND owner);
// Shows `text` while the mouse rests on `control`.
void AddTooltip(HWND tooltips, HWND control, const char* text);
// Replaces the text shown for `control`.
void SetTooltip(HWND tooltips, HWND control, const char* text);

HFONT DefaultGuiFont();  // stock object: never deleted
// A small font for dense text (the log), owned by the caller.
win::GdiObject CreateSmallFont(HWND reference);
// The dialog font in bold, owned by the caller.
win::GdiObject CreateBoldFont(HWND reference);
// An icon of `size` pixels from the program's resources, owned by the caller.
win::Icon LoadProgramIcon(HINSTANCE inst, int id, int size);
inline win::Icon LoadSmallIcon(HINSTANCE inst, int id) { return LoadProgramIcon(inst, id, 16); }

// An up-down attached to the right edge of `buddy` (an edit of a dialog),
// showing whole numbers from `min` to `max` in steps of `increment`.
HWND CreateUpDownFor(HWND buddy, int id, int min, int max, int position, int increment);
// Steps of `increment` for every arrow click of `upDown`, however long held.
void SetUpDownIncrement(HWND upDown, int increment);

}  // namespace velt::ui
