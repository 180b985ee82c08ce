#pragma once
// TBatteryVoltForm: asks for the nominal battery voltage when the UPS does not
// tell it. No cancel: the up-down's position when it closes is the answer.
#include "ui/win32/modal_dialog.h"

namespace velt::ui {

class BatteryVoltForm final : public ModalDialog {
public:
    explicit BatteryVoltForm(HINSTANCE inst) : ModalDialog(inst) {}

    // 12 to 96 volts in steps of 12.
    int Ask();

private:
    void OnInit() override;
    void OnCommand(int id, int code) override;
    void OnCancelRequest() override { Close(); }
    void Close();

    int volts_ = 12;
};

}  // namespace velt::ui
