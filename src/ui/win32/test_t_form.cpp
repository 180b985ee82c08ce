#include "ui/win32/test_t_form.h"

#include <commctrl.h>

#include <string>

#include "ui/control_ids.h"
#include "ui/settings_binding.h"
#include "ui/win32/controls.h"
#include "ui/win32/string_resources.h"

namespace velt::ui {

namespace {

constexpr int kMinMinutes = 1, kMaxMinutes = 99;
constexpr Range kAnyTypedNumber{0, 1000000};

DialogTemplate BuildTemplate(HINSTANCE inst) {
    DialogTemplate t(kDialogStyle, {0, 0, 150, 50}, LoadText(inst, IDS_TestT), 8, "MS Shell Dlg");
    t.AddItem(kDialogItem | SS_LEFT, {8, 10, 46, 8}, kUnnamedItem, DialogClass::Static,
              LoadText(inst, IDS_TimePeriod));
    t.AddItem(kDialogItem | WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL, {56, 8, 36, 12}, IDC_TestTE,
              DialogClass::Edit, "");
    t.AddItem(kDialogItem | SS_LEFT, {96, 10, 40, 8}, kUnnamedItem, DialogClass::Static,
              LoadText(inst, IDS_MinutesLong));
    t.AddItem(kDialogItem | WS_TABSTOP | BS_DEFPUSHBUTTON, {22, 28, 50, 14}, IDC_TestTOkSB, DialogClass::Button,
              LoadText(inst, IDS_OK));
    t.AddItem(kDialogItem | WS_TABSTOP | BS_PUSHBUTTON, {78, 28, 50, 14}, IDC_TestTCancelSB, DialogClass::Button,
              LoadText(inst, IDS_Cancel));
    return t;
}

// The typed text as a number, even outside the up-down's range: the caller
// refuses what lies outside 1..99. False for an empty or non-numeric text.
bool TypedMinutes(HWND edit, int& out) {
    char text[16] = {};
    ::GetWindowTextA(edit, text, sizeof text);
    int32_t value = 0;
    if (!binding::ParseTyped(text, kAnyTypedNumber, value)) return false;
    out = value;
    return true;
}

}  // namespace

bool TestTForm::ShowModalOk() { return Run(BuildTemplate(Inst())) == IDOK; }

void TestTForm::OnInit() {
    HWND edit = Item(IDC_TestTE);
    const int position = minutes_ < kMinMinutes ? kMinMinutes : minutes_ > kMaxMinutes ? kMaxMinutes : minutes_;
    CreateUpDownFor(edit, IDC_TestTUD, kMinMinutes, kMaxMinutes, position, 1);
    // The value kept may be one typed outside the range; it shows as typed.
    ::SetWindowTextA(edit, std::to_string(minutes_).c_str());
    HWND tips = CreateTooltips(Dlg());  // owned by the dialog: destroyed with it
    AddTooltip(tips, Item(IDC_TestTOkSB), LoadText(Inst(), IDS_OKHint).c_str());
    AddTooltip(tips, Item(IDC_TestTCancelSB), LoadText(Inst(), IDS_Cancel).c_str());
}

void TestTForm::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    if (id == IDC_TestTOkSB || id == IDOK) Close(IDOK);
    if (id == IDC_TestTCancelSB || id == IDCANCEL) Close(IDCANCEL);
}

void TestTForm::Close(INT_PTR result) {
    TypedMinutes(Item(IDC_TestTE), minutes_);
    End(result);
}

}  // namespace velt::ui
