#pragma once
// The "UPS Information" page as detection and HID discovery fill it. Main
// thread only.
#include <windows.h>

#include <string>

#include "core/detection.h"
#include "core/hid_discovery.h"
#include "ui/connection_shown.h"
#include "sys/win32/win_handle.h"
#include "ui/win32/control_set.h"

namespace velt::ui {

class InfoPage final : public IDetectionView, public IHidListView {
public:
    InfoPage(const ControlSet& controls, HINSTANCE inst);

    void SetProbeLabel(Probe probe, bool enabled) override;
    void ShowIdentification(const TUPSInformation& info) override;
    void ShowConnection(ConnectionKind kind, int comPort) override;
    void ShowNetworkConnection(const std::string& where) override;

    void ClearHidList() override;
    void AddHidEntry(const std::string& text) override;
    void ShowIdentity(const std::string& vid, const std::string& pid, const std::string& product) override;

    // The pictures again at the window's new DPI.
    void Rescale();

private:
    void LoadImages();
    void ShowImage();
    void ShowLink(const ShownConnection& shown);

    // A caption label, its edit and the text, enabled together.
    void ShowNamed(int labelId, int editId, const std::string& text);

    const ControlSet& controls_;
    HINSTANCE inst_;
    win::Icon connectionImages_[3];  // ConnIL: 0 USB, 1 serial, 2 network
    int shownImage_ = -1;            // none yet
};

}  // namespace velt::ui
