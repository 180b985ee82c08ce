#pragma once
// Writes to the real controls of the main window, found by id. Main thread only.
#include "ui/deferred_controls.h"
#include "ui/win32/control_set.h"

namespace velt::ui {

class ControlWriter final : public IControlWriter {
public:
    explicit ControlWriter(const ControlSet& controls) : controls_(controls) {}

    void WriteText(int id, const std::string& text) override { controls_.SetText(id, text); }
    void WriteCheck(int id, bool checked) override { controls_.SetCheck(id, checked); }
    void WriteEnabled(int id, bool enabled) override { controls_.Enable(id, enabled); }
    void WritePosition(int id, int position) override;
    void AppendLines(int id, const std::vector<std::string>& lines) override;
    void ClearLines(int id) override { controls_.SetText(id, ""); }

private:
    const ControlSet& controls_;
};

}  // namespace velt::ui
