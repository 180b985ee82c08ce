#pragma once
// A modal dialog built from an in-memory template at each showing, with its
// state kept in the object between showings. Subclasses fill the controls in
// OnInit and read them back before End. Main thread only.
#include <windows.h>

#include "ui/dialog_template.h"

namespace velt::ui {

class ModalDialog {
public:
    explicit ModalDialog(HINSTANCE inst) : inst_(inst) {}
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    void SetOwner(HWND owner) { owner_ = owner; }
    // Ends a showing dialog the way its Cancel would (the program is closing).
    void Cancel() {
        if (dlg_) OnCancelRequest();
    }

protected:
    // Shows the dialog and returns the result given to End.
    INT_PTR Run(const DialogTemplate& t);
    void End(INT_PTR result);
    HWND Dlg() const { return dlg_; }
    HINSTANCE Inst() const { return inst_; }
    HWND Item(int id) const { return ::GetDlgItem(dlg_, id); }

    virtual void OnInit() = 0;
    virtual void OnCommand(int id, int code) = 0;
    virtual void OnCancelRequest() = 0;

private:
    static INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

    HINSTANCE inst_;
    HWND owner_ = nullptr;
    HWND dlg_ = nullptr;  // while shown
};

// The dialogs' shared frame: caption without title-bar buttons, centred, 8 pt.
inline constexpr uint32_t kDialogStyle = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION;
inline constexpr uint32_t kDialogItem = WS_CHILD | WS_VISIBLE;
// Fixed labels. Not 0xFFFF: that id marks a message box's text for the UI probe.
inline constexpr uint16_t kUnnamedItem = 0;

}  // namespace velt::ui
