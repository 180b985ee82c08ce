#include "ui/win32/status_page.h"

namespace velt::ui {

namespace {

constexpr int kFields = 8;

}  // namespace

// Fields and boxes are numbered from 1, in the order of their ids.
void StatusPage::SetFieldText(int field, const std::string& text) {
    if (field >= 1 && field <= kFields) c_.SetText(IDC_IPVoltageE + field - 1, text);
}

void StatusPage::SetStatusBox(int box, bool checked) {
    if (box >= 1 && box <= kFields) c_.SetCheck(IDC_UPSStatusCB1 + box - 1, checked);
}

void StatusPage::SetStandbyCaption(const std::string& caption) { c_.SetText(IDC_UPSStatusCB5, caption); }
void StatusPage::SetModeWord(const std::string& word) { c_.SetText(IDC_UPSModeL, word); }

void StatusPage::SetAvrMode(const std::string& caption, bool enabled) {
    c_.SetText(IDC_AVRModeL, caption);
    c_.Enable(IDC_AVRModeL, enabled);
}

void StatusPage::SetInputVoltageMinMax(const std::string& min, const std::string& max) {
    c_.SetText(IDC_IPVoltageMinL, min);
    c_.SetText(IDC_IPVoltageMaxL, max);
}

void StatusPage::SetTrayImage(TrayImage image) { tray_.SetImage(image); }

}  // namespace velt::ui
