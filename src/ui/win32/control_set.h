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
    // Everything below `window`, scaled to `dpi`, the page control ending
    // above `bottom` (pixels at that DPI).
    bool Build(HWND window, HINSTANCE inst, int dpi, int bottom);
    // Moves, resizes and refonts everything for a new DPI of the window.
    void Rescale(int dpi, int bottom);

    int Dpi() const { return dpi_; }
    // The dialog font at the window's DPI, for what the window adds itself.
    HFONT DialogFont() const { return static_cast<HFONT>(dialogFont_.get()); }

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
    void SetItems(int id, const std::vector<std::string>& items) const override;
    void SetSelection(int id, int index) const override;
    std::optional<int> Selection(int id) const override;
    void SetHint(int id, const std::string& text);

private:
    struct Created {
        const layout::ControlSpec* spec;
        HWND hwnd;
    };

    void CreateFonts();
    bool CreatePages(int bottom);
    void CreateRepPages(HWND repTabs);
    void CreateFromTable();
    RECT TabsRect(int bottom) const;
    HWND ParentOf(layout::Page page) const;
    HFONT FontFor(const layout::ControlSpec& spec) const;
    HICON AddIcon(const layout::ControlSpec& spec, std::vector<win::Icon>& icons) const;

    HWND window_ = nullptr;
    HINSTANCE inst_ = nullptr;
    int dpi_ = 96;
    HWND tabs_ = nullptr;
    HWND repTabs_ = nullptr;
    HWND tooltips_ = nullptr;
    HWND pages_[layout::kPageCount] = {};
    HWND repPages_[layout::kRepPageCount] = {};
    std::map<int, HWND> controls_;
    std::vector<Created> created_;  // every control of the table, in its order
    win::GdiObject dialogFont_, smallFont_, boldFont_;
    std::vector<win::Icon> icons_;
};

}  // namespace velt::ui
