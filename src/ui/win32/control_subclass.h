#pragma once
// Puts a subclass procedure in front of some controls' own procedures and
// takes it out again when it goes, so the procedure never runs for an owner
// that is gone. Main thread only.
#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace velt::ui {

class ControlSubclass {
public:
    // `id` tells this subclass from others on the same control.
    ControlSubclass(SUBCLASSPROC proc, UINT_PTR id) : proc_(proc), id_(id) {}
    ~ControlSubclass();
    ControlSubclass(const ControlSubclass&) = delete;
    ControlSubclass& operator=(const ControlSubclass&) = delete;

    // `owner` reaches the procedure as its reference data. A null control is skipped.
    void Attach(HWND control, void* owner);

private:
    SUBCLASSPROC proc_;
    UINT_PTR id_;
    std::vector<HWND> controls_;
};

}  // namespace velt::ui
