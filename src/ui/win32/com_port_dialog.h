#pragma once
// TCOMPortForm: the modal port dialog. The list and the check boxes live here
// between showings (the check boxes keep their state for the whole run), and
// each showing builds the dialog window from them.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/com_port.h"
#include "ui/win32/modal_dialog.h"

namespace velt::ui {

class ComPortDialog final : public ModalDialog, public IComPortDialog {
public:
    explicit ComPortDialog(HINSTANCE inst) : ModalDialog(inst) {}

    void ClearPorts() override;
    void AddPort(const std::string& name) override;
    void SelectFirstPort() override;
    bool ShowModal() override;
    std::optional<std::string> SelectedPort() const override;
    bool DtrChecked() const override { return dtr_; }
    bool RtsChecked() const override { return rts_; }

private:
    void OnInit() override;
    void OnCommand(int id, int code) override;
    void OnCancelRequest() override { Close(false); }
    void Close(bool ok);

    std::vector<std::string> ports_;
    int selected_ = -1;
    bool dtr_ = true;
    bool rts_ = false;
};

}  // namespace velt::ui
