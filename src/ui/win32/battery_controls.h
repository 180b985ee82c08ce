#pragma once
// The battery group's controls as BatteryCharge drives them: the charge label
// and LED bar, the nominal voltage, the three threshold edits with their
// up-downs, and TBatteryVoltForm. The threshold edits are read-only; Page
// Up/Down and the arrow keys on them step their up-down through the logic's
// key rule. The charge label and bar change with every reply: they go
// through `out`, which holds them while the window is hidden. Main thread only.
#include <windows.h>

#include <functional>

#include "status/battery_charge.h"
#include "ui/deferred_controls.h"
#include "ui/win32/battery_volt_form.h"
#include "ui/win32/control_set.h"
#include "ui/win32/control_subclass.h"

namespace velt::ui {

class BatteryControls final : public IBatteryView {
public:
    // `charge` gives the logic once it exists; keys and clicks before that are ignored.
    BatteryControls(const ControlSet& controls, IControlWriter& out, BatteryVoltForm& form,
                    std::function<BatteryCharge*()> charge);
    BatteryControls(const BatteryControls&) = delete;
    BatteryControls& operator=(const BatteryControls&) = delete;

    // Hooks the keys of the three edits; once, after the controls exist.
    void Attach();
    // An arrow click on a threshold up-down (its WM_VSCROLL); false for other controls.
    bool OnUpDownScroll(int id);

    void SetChargeCaption(const std::string& text) override;
    void SetGaugePosition(int position) override;
    void SetNominalVoltageText(const std::string& text) override;
    void SetThresholdText(BatteryUpDown which, const std::string& text) override;
    void SetThresholdUpDown(BatteryUpDown which, const UpDownModel& model) override;
    int AskNominalBatteryVoltage() override { return form_.Ask(); }

private:
    static LRESULT CALLBACK EditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    bool OnKey(int editId, unsigned virtualKey);

    const ControlSet& controls_;
    IControlWriter& out_;
    BatteryVoltForm& form_;
    std::function<BatteryCharge*()> charge_;
    ControlSubclass keys_;  // last: taken out first
};

}  // namespace velt::ui
