#pragma once
// The main window's controls, built from the layout table: the page control
// with its three page panels, the report page control inside "Settings", and
// every control on them, found by id. Main thread only.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "sys/win32/win_handle.h"
#include "ui/control_access.h"
#include "ui/main_layout.h"

namespace velt::ui {

class ControlSet final : public IControlAccess {
public:
    // Everything below `window`, the page control ending above `bottom`.
    bool Build(HWND window, HINSTANCE inst, int bottom);

    HWND Get(int id) const;
    HWND Tabs() const { return tabs_; }
    HWND RepTabs() const { return repTabs_; }
    HWND Tooltips() const { return tooltips_; }

    void ShowPage(int index);
    void ShowRepPage(int index);

    void SetText(int id, const std::string& text) const override;
    std::string Text(int id) const override;
    void SetCheck(int id, bool checked) const override;
    bool Checked(int id) const override;
    void Enable(int id, bool enabled) const override;
    void SetUpDownRange(int id, int32_t min, int32_t max, int increment) const override;
    void SetUpDownPosition(int id, int32_t position) const override;
    std::optional<int32_t> UpDownPosition(int id) const override;
    void SetHint(int id, const std::string& text);

private:
    bool CreatePages(HWND window, HINSTANCE inst, int bottom);
    void CreateRepPages(HWND repTabs, HINSTANCE inst);
    void CreateFromTable(HINSTANCE inst);
    HWND ParentOf(layout::Page page) const;
    HFONT FontFor(const layout::ControlSpec& spec) const;

    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    HWND repTabs_ = nullptr;
    HWND tooltips_ = nullptr;
    HWND pages_[layout::kPageCount] = {};
    HWND repPages_[layout::kRepPageCount] = {};
    std::map<int, HWND> controls_;
    win::GdiObject smallFont_, boldFont_;
    std::vector<win::Icon> icons_;
};

}  // namespace velt::ui
