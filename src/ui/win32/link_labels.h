#pragma once
// The About group's links: HomeL and MailL blue and underlined, red with the
// hand pointer while the mouse is over them; the donation picture takes the
// hand pointer only; OSL is blue. A click opens the target with the shell's
// "open" verb. Main thread only.
#include <windows.h>

#include "sys/win32/win_handle.h"
#include "ui/win32/control_set.h"
#include "ui/win32/control_subclass.h"

namespace velt::ui {

class LinkLabels {
public:
    explicit LinkLabels(const ControlSet& controls);
    LinkLabels(const LinkLabels&) = delete;
    LinkLabels& operator=(const LinkLabels&) = delete;

    void Attach();
    // WM_CTLCOLORSTATIC: a brush when the control is one of ours, else null.
    HBRUSH OnColor(HWND control, HDC dc) const;
    // A click on a link or the picture; false for other controls.
    bool OnClick(int id, HWND owner) const;

private:
    static LRESULT CALLBACK HoverProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    void SetHot(HWND h, bool hot);

    const ControlSet& controls_;
    win::GdiObject underlined_;
    HWND hot_ = nullptr;
    ControlSubclass hover_;  // last: taken out first
};

}  // namespace velt::ui
