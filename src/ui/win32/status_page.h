#pragma once
// The readings of the "UPS Status" page and the tray picture, as the status
// evaluation shows them. Main thread only.
#include "status/status_evaluation.h"
#include "ui/win32/control_set.h"
#include "ui/win32/tray_icon.h"

namespace velt::ui {

class StatusPage final : public IStatusView {
public:
    StatusPage(const ControlSet& controls, TrayIcon& tray) : controls_(controls), tray_(tray) {}

    void SetFieldText(int field, const std::string& text) override;
    void SetStatusBox(int box, bool checked) override;
    void SetStandbyCaption(const std::string& caption) override;
    void SetModeWord(const std::string& word) override;
    void SetAvrMode(const std::string& caption, bool enabled) override;
    void SetInputVoltageMinMax(const std::string& min, const std::string& max) override;
    void SetTrayImage(TrayImage image) override;

private:
    const ControlSet& controls_;
    TrayIcon& tray_;
};

}  // namespace velt::ui
