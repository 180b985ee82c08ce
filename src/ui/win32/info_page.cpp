#include "ui/win32/info_page.h"

#include "ui/dpi_scale.h"
#include "ui/resource.h"
#include "ui/win32/controls.h"

namespace velt::ui {

namespace {

int ProbeLabelId(Probe probe) {
    switch (probe) {
        case Probe::Q1: return IDC_Q1_L;
        case Probe::QS: return IDC_QS_L;
        case Probe::F: return IDC_F_L;
        default: return IDC_I_L;
    }
}

}  // namespace

InfoPage::InfoPage(const ControlSet& controls, HINSTANCE inst)
    : controls_(controls), inst_(inst) {
    LoadImages();
}

void InfoPage::LoadImages() {
    const int size = ScaleToDpi(32, controls_.Dpi());
    connectionImages_[0] = LoadProgramIcon(inst_, IDI_CONN_USB, size);
    connectionImages_[1] = LoadProgramIcon(inst_, IDI_CONN_SERIAL, size);
    connectionImages_[2] = LoadProgramIcon(inst_, IDI_CONN_NETWORK, size);
}

// The old pictures go only after the control shows the new one.
void InfoPage::Rescale() {
    win::Icon old[] = {std::move(connectionImages_[0]), std::move(connectionImages_[1]),
                       std::move(connectionImages_[2])};
    LoadImages();
    ShowImage();
}

void InfoPage::ShowImage() {
    if (shownImage_ < 0) return;
    ::SendMessageA(controls_.Get(IDC_ConnI), STM_SETICON,
                   reinterpret_cast<WPARAM>(connectionImages_[shownImage_].get()), 0);
}

void InfoPage::SetProbeLabel(Probe probe, bool enabled) { controls_.Enable(ProbeLabelId(probe), enabled); }

void InfoPage::ShowNamed(int labelId, int editId, const std::string& text) {
    controls_.Enable(labelId, true);
    controls_.Enable(editId, true);
    controls_.SetText(editId, text);
}

void InfoPage::ShowIdentification(const TUPSInformation& info) {
    ShowNamed(IDC_MfrNL, IDC_MfrE, info.Mfr);
    ShowNamed(IDC_ModelNL, IDC_ModelE, info.Model);
    ShowNamed(IDC_VerNL, IDC_VerE, info.Ver);
}

void InfoPage::ShowIdentity(const std::string& vid, const std::string& pid, const std::string& product) {
    ShowNamed(IDC_VIDNL, IDC_VIDE, vid);
    ShowNamed(IDC_PIDNL, IDC_PIDE, pid);
    ShowNamed(IDC_ProductNameNL, IDC_ProductNameE, product);
}

void InfoPage::ShowConnection(ConnectionKind kind, int comPort) { ShowLink(LocalConnectionShown(kind, comPort)); }

void InfoPage::ShowNetworkConnection(const std::string& where) { ShowLink(NetworkConnectionShown(where)); }

void InfoPage::ShowLink(const ShownConnection& shown) {
    shownImage_ = static_cast<int>(shown.image);
    ShowImage();
    controls_.Enable(IDC_USBL, shown.usbEnabled);
    controls_.Enable(IDC_COML, shown.comEnabled);
    controls_.Enable(IDC_NetL, shown.netEnabled);
    controls_.SetText(IDC_COML, shown.comCaption);
    controls_.SetText(IDC_NetL, shown.netCaption);
}

void InfoPage::ClearHidList() { ::SendMessageA(controls_.Get(IDC_USBLB), CB_RESETCONTENT, 0, 0); }

void InfoPage::AddHidEntry(const std::string& text) {
    HWND list = controls_.Get(IDC_USBLB);
    const LRESULT index = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace velt::ui
