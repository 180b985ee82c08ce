#include "ui/win32/modal_dialog.h"

namespace velt::ui {

INT_PTR ModalDialog::Run(const DialogTemplate& t) {
    const INT_PTR result = ::DialogBoxIndirectParamA(inst_, reinterpret_cast<const DLGTEMPLATE*>(t.Data()), owner_,
                                                     &ModalDialog::Proc, reinterpret_cast<LPARAM>(this));
    dlg_ = nullptr;
    return result;
}

void ModalDialog::End(INT_PTR result) {
    if (dlg_) ::EndDialog(dlg_, result);
}

INT_PTR CALLBACK ModalDialog::Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        auto* self = reinterpret_cast<ModalDialog*>(lParam);
        self->dlg_ = dlg;
        self->OnInit();
        return TRUE;
    }
    auto* self = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrA(dlg, DWLP_USER));
    if (self && msg == WM_COMMAND) {
        self->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace velt::ui
