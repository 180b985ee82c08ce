#include "ui/win32/status_page.h"

namespace velt::ui {

namespace {

constexpr int kFields = 8;

}  // namespace

// Fields and boxes are numbered from 1, in the order of their ids.
void StatusPage::SetFieldText(int field, const std::string& text) {
    if (field >= 1 && field <= kFields) controls_.SetText(IDC_IPVoltageE + field - 1, text);
}

void StatusPage::SetStatusBox(int box, bool checked) {
    if (box >= 1 && box <= kFields) controls_.SetCheck(IDC_UPSStatusCB1 + box - 1, checked);
}

void StatusPage::SetStandbyCaption(const std::string& caption) { controls_.SetText(IDC_UPSStatusCB5, caption); }
void StatusPage::SetModeWord(const std::string& word) { controls_.SetText(IDC_UPSModeL, word); }

void StatusPage::SetAvrMode(const std::string& caption, bool enabled) {
    controls_.SetText(IDC_AVRModeL, caption);
    controls_.Enable(IDC_AVRModeL, enabled);
}

void StatusPage::SetInputVoltageMinMax(const std::string& min, const std::string& max) {
    controls_.SetText(IDC_IPVoltageMinL, min);
    controls_.SetText(IDC_IPVoltageMaxL, max);
}

void StatusPage::SetTrayImage(TrayImage image) { tray_.SetImage(image); }

}  // namespace velt::ui
