#pragma once
// TCOMPortForm: the modal port dialog. The list and the check boxes live here
// between showings (the check boxes keep their state for the whole run), and
// each showing builds the dialog window from them.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/com_port.h"

namespace velt::ui {

class ComPortDialog final : public IComPortDialog {
public:
    explicit ComPortDialog(HINSTANCE inst) : inst_(inst) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    void ClearPorts() override;
    void AddPort(const std::string& name) override;
    void SelectFirstPort() override;
    bool ShowModal() override;
    std::optional<std::string> SelectedPort() const override;
    bool DtrChecked() const override { return dtr_; }
    bool RtsChecked() const override { return rts_; }

    // Closes a showing dialog as if Cancel was pressed (the program is closing).
    void Cancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnInit(HWND dlg);
    void OnCommand(int id);
    void Close(bool ok);

    HINSTANCE inst_;
    HWND owner_ = nullptr;
    HWND dlg_ = nullptr;  // while shown
    std::vector<std::string> ports_;
    int selected_ = -1;
    bool dtr_ = true;
    bool rts_ = false;
};

}  // namespace velt::ui
