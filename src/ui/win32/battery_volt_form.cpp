#include "ui/win32/battery_volt_form.h"

#include <commctrl.h>

#include "ui/control_ids.h"
#include "ui/win32/controls.h"
#include "ui/win32/string_resources.h"

namespace velt::ui {

namespace {

constexpr int kMinVolts = 12, kMaxVolts = 96, kStepVolts = 12;

DialogTemplate BuildTemplate(HINSTANCE inst) {
    DialogTemplate t(kDialogStyle, {0, 0, 130, 50}, LoadText(inst, IDS_BatteryVoltTitle), 8, "MS Shell Dlg");
    t.AddItem(kDialogItem | SS_LEFT, {8, 10, 56, 8}, kUnnamedItem, DialogClass::Static,
              LoadText(inst, IDS_BatteryVoltLabel));
    t.AddItem(kDialogItem | WS_TABSTOP | WS_BORDER | ES_READONLY, {66, 8, 34, 12}, IDC_BatteryVoltE,
              DialogClass::Edit, LoadText(inst, IDS_DefaultBatteryVolts));
    t.AddItem(kDialogItem | SS_LEFT, {104, 10, 12, 8}, kUnnamedItem, DialogClass::Static,
              LoadText(inst, IDS_Volts));
    t.AddItem(kDialogItem | WS_TABSTOP | BS_DEFPUSHBUTTON, {40, 28, 50, 14}, IDC_BatteryVoltSB, DialogClass::Button,
              LoadText(inst, IDS_OK));
    return t;
}

}  // namespace

int BatteryVoltForm::Ask() {
    Run(BuildTemplate(Inst()));
    return volts_;
}

void BatteryVoltForm::OnInit() {
    CreateUpDownFor(Item(IDC_BatteryVoltE), IDC_BatteryVoltUD, kMinVolts, kMaxVolts, volts_, kStepVolts);
}

// Escape does not close it: there is no cancel.
void BatteryVoltForm::OnCommand(int id, int code) {
    if (code == BN_CLICKED && (id == IDC_BatteryVoltSB || id == IDOK)) Close();
}

void BatteryVoltForm::Close() {
    BOOL failed = FALSE;
    const LRESULT pos = ::SendMessageA(Item(IDC_BatteryVoltUD), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    if (!failed) volts_ = static_cast<int>(pos);
    End(IDOK);
}

}  // namespace velt::ui
