#include "ui/win32/status_page.h"

#include "ui/control_ids.h"
#include "ui/power_text.h"

namespace velt::ui {

namespace {

constexpr int kFields = 8;

}  // namespace

// Fields and boxes are numbered from 1, in the order of their ids.
void StatusPage::SetFieldText(int field, const std::string& text) {
    if (field >= 1 && field <= kFields) out_.WriteText(IDC_IPVoltageE + field - 1, text);
}

void StatusPage::SetStatusBox(int box, bool checked) {
    if (box >= 1 && box <= kFields) out_.WriteCheck(IDC_UPSStatusCB1 + box - 1, checked);
}

void StatusPage::SetStandbyCaption(const std::string& caption) { out_.WriteText(IDC_UPSStatusCB5, caption); }
void StatusPage::SetModeWord(const std::string& word) { out_.WriteText(IDC_UPSModeL, word); }

void StatusPage::SetAvrMode(const std::string& caption, bool enabled) {
    out_.WriteText(IDC_AVRModeL, caption);
    out_.WriteEnabled(IDC_AVRModeL, enabled);
}

void StatusPage::SetInputVoltageMinMax(const std::string& min, const std::string& max) {
    out_.WriteText(IDC_IPVoltageMinL, min);
    out_.WriteText(IDC_IPVoltageMaxL, max);
}

void StatusPage::SetTrayImage(TrayImage image) { tray_.SetImage(image); }

void StatusPage::ShowPower(const ShownPower& power, bool onBattery) {
    out_.WriteText(IDC_RuntimeL, RuntimeLine(power, onBattery));
    out_.WriteText(IDC_PowerWattsL, WattsLine(power));
}

}  // namespace velt::ui
