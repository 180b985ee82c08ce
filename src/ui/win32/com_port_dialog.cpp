#include "ui/win32/com_port_dialog.h"

#include <commctrl.h>

#include "ui/win32/control_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/resource.h"

namespace velt::ui {

namespace {

constexpr DWORD kItem = WS_CHILD | WS_VISIBLE;

// A fixed frame without title-bar buttons, centred on the screen.
DialogTemplate BuildTemplate() {
    DialogTemplate t(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION, {0, 0, 150, 58},
                     kComPortDialogCaption, 8, "MS Shell Dlg");
    t.AddItem(kItem | SS_ICON, {8, 8, 20, 20}, IDC_COMPortI, DialogClass::Static, "");
    t.AddItem(kItem | SS_LEFT, {36, 8, 56, 8}, IDC_COMPortL, DialogClass::Static, "COM Port:");
    t.AddItem(kItem | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, {36, 18, 56, 90}, IDC_COMPortCB,
              DialogClass::ComboBox, "");
    t.AddItem(kItem | WS_TABSTOP | BS_AUTOCHECKBOX, {36, 38, 28, 10}, IDC_DTRCB, DialogClass::Button, "DTR");
    t.AddItem(kItem | WS_TABSTOP | BS_AUTOCHECKBOX, {66, 38, 28, 10}, IDC_RTSCB, DialogClass::Button, "RTS");
    t.AddItem(kItem | WS_TABSTOP | BS_DEFPUSHBUTTON, {102, 8, 40, 14}, IDC_COMPortSB, DialogClass::Button, "OK");
    t.AddItem(kItem | WS_TABSTOP | BS_PUSHBUTTON, {102, 26, 40, 14}, IDC_CancelSB, DialogClass::Button,
              "Cancel");
    return t;
}

void SetCheck(HWND dlg, int id, bool on) { ::CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool Checked(HWND dlg, int id) { return ::IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

}  // namespace

void ComPortDialog::ClearPorts() {
    ports_.clear();
    selected_ = -1;
}

void ComPortDialog::AddPort(const std::string& name) { ports_.push_back(name); }

void ComPortDialog::SelectFirstPort() { selected_ = ports_.empty() ? -1 : 0; }

std::optional<std::string> ComPortDialog::SelectedPort() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(ports_.size())) return std::nullopt;
    return ports_[static_cast<size_t>(selected_)];
}

bool ComPortDialog::ShowModal() {
    const DialogTemplate t = BuildTemplate();
    const INT_PTR result = ::DialogBoxIndirectParamA(inst_, reinterpret_cast<const DLGTEMPLATE*>(t.Data()),
                                                     owner_, &ComPortDialog::DialogProc,
                                                     reinterpret_cast<LPARAM>(this));
    dlg_ = nullptr;
    return result == IDOK;
}

void ComPortDialog::Cancel() {
    if (dlg_) Close(false);
}

INT_PTR CALLBACK ComPortDialog::DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        reinterpret_cast<ComPortDialog*>(lParam)->OnInit(dlg);
        return TRUE;
    }
    auto* self = reinterpret_cast<ComPortDialog*>(::GetWindowLongPtrA(dlg, DWLP_USER));
    if (self && msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        self->OnCommand(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void ComPortDialog::OnInit(HWND dlg) {
    dlg_ = dlg;
    HWND list = ::GetDlgItem(dlg, IDC_COMPortCB);
    for (const auto& name : ports_) ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
    SetCheck(dlg, IDC_DTRCB, dtr_);
    SetCheck(dlg, IDC_RTSCB, rts_);
    HICON icon = static_cast<HICON>(::LoadImageA(inst_, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 32, 32, LR_SHARED));
    ::SendDlgItemMessageA(dlg, IDC_COMPortI, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    HWND tips = CreateTooltips(dlg);  // owned by the dialog: destroyed with it
    AddTooltip(tips, ::GetDlgItem(dlg, IDC_COMPortSB), "O.K.");
    AddTooltip(tips, ::GetDlgItem(dlg, IDC_CancelSB), "Cancel");
}

void ComPortDialog::OnCommand(int id) {
    if (id == IDC_COMPortSB || id == IDOK) Close(true);
    if (id == IDC_CancelSB || id == IDCANCEL) Close(false);
}

// The check boxes keep their state whichever way the dialog closes.
void ComPortDialog::Close(bool ok) {
    selected_ = static_cast<int>(::SendDlgItemMessageA(dlg_, IDC_COMPortCB, CB_GETCURSEL, 0, 0));
    dtr_ = Checked(dlg_, IDC_DTRCB);
    rts_ = Checked(dlg_, IDC_RTSCB);
    ::EndDialog(dlg_, ok ? IDOK : IDCANCEL);
}

}  // namespace velt::ui
