#include "ui/win32/control_subclass.h"

namespace velt::ui {

// A control already destroyed has lost the subclass with it; the call then
// fails harmlessly.
ControlSubclass::~ControlSubclass() {
    for (HWND control : controls_) ::RemoveWindowSubclass(control, proc_, id_);
}

void ControlSubclass::Attach(HWND control, void* owner) {
    if (!control) return;
    if (::SetWindowSubclass(control, proc_, id_, reinterpret_cast<DWORD_PTR>(owner))) controls_.push_back(control);
}

}  // namespace velt::ui
