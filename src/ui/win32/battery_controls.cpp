#include "ui/win32/battery_controls.h"

#include <commctrl.h>

namespace velt::ui {

namespace {

struct Threshold {
    BatteryUpDown which;
    int edit, upDown;
};

constexpr Threshold kThresholds[] = {
    {BatteryUpDown::Empty, IDC_EmptyBatteryVoltageE, IDC_EmptyBatteryVoltageUD},
    {BatteryUpDown::Full, IDC_FullBatteryVoltageE, IDC_FullBatteryVoltageUD},
    {BatteryUpDown::Min, IDC_MinVoltageE, IDC_MinVoltageUD},
};

constexpr UINT_PTR kSubclassId = 1;

const Threshold& Of(BatteryUpDown which) {
    for (const auto& t : kThresholds)
        if (t.which == which) return t;
    return kThresholds[0];
}

template <typename Pred>
const Threshold* Find(Pred pred) {
    for (const auto& t : kThresholds)
        if (pred(t)) return &t;
    return nullptr;
}

bool IsStepKey(unsigned vk) { return vk == VK_PRIOR || vk == VK_NEXT || vk == VK_UP || vk == VK_DOWN; }

}  // namespace

BatteryControls::BatteryControls(const ControlSet& controls, IControlWriter& out, BatteryVoltForm& form,
                                 std::function<BatteryCharge*()> charge)
    : controls_(controls), out_(out), form_(form), charge_(std::move(charge)), keys_(&BatteryControls::EditProc, kSubclassId) {}

void BatteryControls::Attach() {
    for (const auto& t : kThresholds) keys_.Attach(controls_.Get(t.edit), this);
}

LRESULT CALLBACK BatteryControls::EditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self) {
    if (msg == WM_KEYDOWN && IsStepKey(static_cast<unsigned>(wParam)) &&
        reinterpret_cast<BatteryControls*>(self)->OnKey(::GetDlgCtrlID(edit), static_cast<unsigned>(wParam)))
        return 0;
    // The arrows must reach the edit rather than move the focus.
    if (msg == WM_GETDLGCODE) return ::DefSubclassProc(edit, msg, wParam, lParam) | DLGC_WANTARROWS;
    return ::DefSubclassProc(edit, msg, wParam, lParam);
}

bool BatteryControls::OnKey(int editId, unsigned virtualKey) {
    const Threshold* t = Find([&](const Threshold& x) { return x.edit == editId; });
    BatteryCharge* charge = charge_();
    if (!t || !charge) return false;
    charge->OnKeyDown(t->which, virtualKey);
    return true;
}

// The control has moved already and stays within its range; the logic takes
// the new position as a stored value would be, which also writes the edit.
bool BatteryControls::OnUpDownScroll(int id) {
    const Threshold* t = Find([&](const Threshold& x) { return x.upDown == id; });
    if (!t) return false;
    BatteryCharge* charge = charge_();
    // No error flag asked for: without a number in its buddy the control may
    // report one, yet its own position is what counts here.
    const LRESULT pos = ::SendMessageA(controls_.Get(id), UDM_GETPOS32, 0, 0);
    if (charge && pos != charge->UpDown(t->which).position) charge->SetPosition(t->which, static_cast<int32_t>(pos));
    return true;
}

void BatteryControls::SetChargeCaption(const std::string& text) { out_.WriteText(IDC_BatteryChargeL, text); }
void BatteryControls::SetGaugePosition(int position) { out_.WritePosition(IDC_BatteryChargeRL, position); }
void BatteryControls::SetNominalVoltageText(const std::string& text) {
    controls_.SetText(IDC_NominalBatteryVoltageE, text);
}

void BatteryControls::SetThresholdText(BatteryUpDown which, const std::string& text) {
    controls_.SetText(Of(which).edit, text);
}

void BatteryControls::SetThresholdUpDown(BatteryUpDown which, const UpDownModel& model) {
    HWND ud = controls_.Get(Of(which).upDown);
    ::SendMessageA(ud, UDM_SETRANGE32, static_cast<WPARAM>(model.min), model.max);
    ::SendMessageA(ud, UDM_SETPOS32, 0, model.position);
}

}  // namespace velt::ui
