#include "ui/win32/com_port_dialog.h"

#include <commctrl.h>

#include "ui/control_ids.h"
#include "ui/resource.h"
#include "ui/win32/controls.h"
#include "ui/win32/string_resources.h"

namespace velt::ui {

namespace {

DialogTemplate BuildTemplate(HINSTANCE inst) {
    DialogTemplate t(kDialogStyle, {0, 0, 150, 58}, LoadText(inst, IDS_ComPortTitle), 8, "MS Shell Dlg");
    t.AddItem(kDialogItem | SS_ICON, {8, 8, 20, 20}, IDC_COMPortI, DialogClass::Static, "");
    t.AddItem(kDialogItem | SS_LEFT, {36, 8, 56, 8}, IDC_COMPortL, DialogClass::Static,
              LoadText(inst, IDS_ComPortLabel));
    t.AddItem(kDialogItem | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, {36, 18, 56, 90}, IDC_COMPortCB,
              DialogClass::ComboBox, "");
    t.AddItem(kDialogItem | WS_TABSTOP | BS_AUTOCHECKBOX, {36, 38, 28, 10}, IDC_DTRCB, DialogClass::Button,
              LoadText(inst, IDS_DTR));
    t.AddItem(kDialogItem | WS_TABSTOP | BS_AUTOCHECKBOX, {66, 38, 28, 10}, IDC_RTSCB, DialogClass::Button,
              LoadText(inst, IDS_RTS));
    t.AddItem(kDialogItem | WS_TABSTOP | BS_DEFPUSHBUTTON, {102, 8, 40, 14}, IDC_COMPortSB, DialogClass::Button,
              LoadText(inst, IDS_OK));
    t.AddItem(kDialogItem | WS_TABSTOP | BS_PUSHBUTTON, {102, 26, 40, 14}, IDC_CancelSB, DialogClass::Button,
              LoadText(inst, IDS_Cancel));
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

bool ComPortDialog::ShowModal() { return Run(BuildTemplate(Inst())) == IDOK; }

void ComPortDialog::OnInit() {
    HWND list = Item(IDC_COMPortCB);
    for (const auto& name : ports_) ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
    SetCheck(Dlg(), IDC_DTRCB, dtr_);
    SetCheck(Dlg(), IDC_RTSCB, rts_);
    HICON icon = static_cast<HICON>(::LoadImageA(Inst(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 32, 32, LR_SHARED));
    ::SendMessageA(Item(IDC_COMPortI), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    HWND tips = CreateTooltips(Dlg());  // owned by the dialog: destroyed with it
    AddTooltip(tips, Item(IDC_COMPortSB), LoadText(Inst(), IDS_OKHint).c_str());
    AddTooltip(tips, Item(IDC_CancelSB), LoadText(Inst(), IDS_Cancel).c_str());
}

void ComPortDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDC_COMPortSB || id == IDOK) Close(true);
    if (id == IDC_CancelSB || id == IDCANCEL) Close(false);
}

// The check boxes keep their state whichever way the dialog closes.
void ComPortDialog::Close(bool ok) {
    selected_ = static_cast<int>(::SendMessageA(Item(IDC_COMPortCB), CB_GETCURSEL, 0, 0));
    dtr_ = Checked(Dlg(), IDC_DTRCB);
    rts_ = Checked(Dlg(), IDC_RTSCB);
    End(ok ? IDOK : IDCANCEL);
}

}  // namespace velt::ui
