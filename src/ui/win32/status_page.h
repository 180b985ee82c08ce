#pragma once
// The readings of the "UPS Status" page and the tray picture, as the status
// evaluation shows them. The readings go through `out`, which holds them
// while the window is hidden; the tray picture changes at once. Main thread only.
#include "status/status_evaluation.h"
#include "ui/deferred_controls.h"
#include "ui/win32/tray_icon.h"

namespace velt::ui {

class StatusPage final : public IStatusView {
public:
    StatusPage(IControlWriter& out, TrayIcon& tray) : out_(out), tray_(tray) {}

    void SetFieldText(int field, const std::string& text) override;
    void SetStatusBox(int box, bool checked) override;
    void SetStandbyCaption(const std::string& caption) override;
    void SetModeWord(const std::string& word) override;
    void SetAvrMode(const std::string& caption, bool enabled) override;
    void SetInputVoltageMinMax(const std::string& min, const std::string& max) override;
    void SetTrayImage(TrayImage image) override;
    void ShowPower(const ShownPower& power, bool onBattery) override;

private:
    IControlWriter& out_;
    TrayIcon& tray_;
};

}  // namespace velt::ui
