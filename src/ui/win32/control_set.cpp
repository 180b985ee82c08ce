#include "ui/win32/control_set.h"

#include <commctrl.h>

#include "ui/win32/controls.h"
#include "ui/win32/page_panel.h"
#include "ui/win32/string_resources.h"

namespace velt::ui {

namespace {

using layout::Kind;
using layout::Page;

HWND CreateTabs(HWND parent, int id, const RECT& r) {
    HWND tabs = ::CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                                  r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                                  nullptr);
    if (tabs) ::SendMessageA(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
    return tabs;
}

// Inserts the captions and gives the display area in the tab control's parent.
template <size_t N>
RECT AddTabPages(HWND tabs, HINSTANCE inst, const layout::PageDef (&pages)[N]) {
    for (size_t i = 0; i < N; ++i) {
        std::string caption = LoadText(inst, pages[i].caption);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT area{};
    ::GetClientRect(tabs, &area);
    ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    ::MapWindowPoints(tabs, ::GetParent(tabs), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

// The panels lie over the tab control's display area; the tab control stays
// below them in the z-order and clips itself, so it never paints over them.
template <size_t N>
void CreatePanels(HWND tabs, HINSTANCE inst, const layout::PageDef (&pages)[N], HWND (&panels)[N]) {
    const RECT area = AddTabPages(tabs, inst, pages);
    for (size_t i = 0; i < N; ++i) panels[i] = CreatePagePanel(::GetParent(tabs), pages[i].id, area);
    ::SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

bool ControlSet::Build(HWND window, HINSTANCE inst, int bottom) {
    window_ = window;
    tooltips_ = CreateTooltips(window);
    smallFont_ = CreateSmallFont(window);
    boldFont_ = CreateBoldFont(window);
    if (!CreatePages(window, inst, bottom)) return false;
    CreateFromTable(inst);
    return repTabs_ != nullptr;
}

bool ControlSet::CreatePages(HWND window, HINSTANCE inst, int bottom) {
    const RECT r{layout::kTabsLeft, layout::kTabsTop, layout::kTabsLeft + layout::kTabsWidth, bottom};
    tabs_ = CreateTabs(window, IDC_PC, r);
    if (!tabs_) return false;
    CreatePanels(tabs_, inst, layout::kPages, pages_);
    for (HWND p : pages_)
        if (!p) return false;
    return true;
}

void ControlSet::CreateRepPages(HWND repTabs, HINSTANCE inst) {
    repTabs_ = repTabs;
    CreatePanels(repTabs, inst, layout::kRepPages, repPages_);
    ShowRepPage(0);
}

HWND ControlSet::ParentOf(Page page) const {
    if (page == Page::Window) return window_;
    const int index = layout::PageIndex(page);
    return layout::IsRepPage(page) ? repPages_[index] : pages_[index];
}

// The pages are dense: their controls take the small font, and the one title
// stands out in bold. The toolbar's buttons show only pictures.
HFONT ControlSet::FontFor(const layout::ControlSpec& spec) const {
    if (spec.kind == Kind::Title && boldFont_) return static_cast<HFONT>(boldFont_.get());
    if (spec.page != Page::Window && smallFont_) return static_cast<HFONT>(smallFont_.get());
    return DefaultGuiFont();
}

void ControlSet::CreateFromTable(HINSTANCE inst) {
    for (const auto& spec : layout::kMainControls) {
        HWND parent = ParentOf(spec.page);
        if (!parent) continue;
        HICON icon = nullptr;
        if (spec.icon) {
            icons_.push_back(LoadProgramIcon(inst, spec.icon, spec.kind == Kind::Icon ? 32 : 16));
            icon = icons_.back().get();
        }
        HWND h = CreateControl(parent, spec, LoadText(inst, spec.text).c_str(), FontFor(spec), icon);
        if (spec.id != layout::kNoId) controls_[spec.id] = h;
        if (spec.hint != kNoText) AddTooltip(tooltips_, h, LoadText(inst, spec.hint).c_str());
        if (spec.kind == Kind::Tabs && h) CreateRepPages(h, inst);
    }
}

HWND ControlSet::Get(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void ControlSet::ShowPage(int index) {
    ::SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (int i = 0; i < layout::kPageCount; ++i) ::ShowWindow(pages_[i], i == index ? SW_SHOW : SW_HIDE);
}

void ControlSet::ShowRepPage(int index) {
    ::SendMessageA(repTabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (int i = 0; i < layout::kRepPageCount; ++i) ::ShowWindow(repPages_[i], i == index ? SW_SHOW : SW_HIDE);
}

void ControlSet::SetText(int id, const std::string& text) const { ::SetWindowTextA(Get(id), text.c_str()); }

std::string ControlSet::Text(int id) const {
    HWND h = Get(id);
    const int len = h ? ::GetWindowTextLengthA(h) : 0;
    std::string text(static_cast<size_t>(len) + 1, '\0');
    const int got = len > 0 ? ::GetWindowTextA(h, text.data(), len + 1) : 0;
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void ControlSet::SetCheck(int id, bool checked) const {
    ::SendMessageA(Get(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool ControlSet::Checked(int id) const { return ::SendMessageA(Get(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void ControlSet::Enable(int id, bool enabled) const { ::EnableWindow(Get(id), enabled ? TRUE : FALSE); }

void ControlSet::SetUpDownRange(int id, int32_t min, int32_t max, int increment) const {
    HWND ud = Get(id);
    ::SendMessageA(ud, UDM_SETRANGE32, static_cast<WPARAM>(min), max);
    SetUpDownIncrement(ud, increment);
}

void ControlSet::SetUpDownPosition(int id, int32_t position) const {
    ::SendMessageA(Get(id), UDM_SETPOS32, 0, position);
}

std::optional<int32_t> ControlSet::UpDownPosition(int id) const {
    BOOL failed = FALSE;
    const LRESULT pos = ::SendMessageA(Get(id), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    if (failed) return std::nullopt;
    return static_cast<int32_t>(pos);
}

// The tooltip control keeps its own copy of the text.
void ControlSet::SetHint(int id, const std::string& text) { SetTooltip(tooltips_, Get(id), text.c_str()); }

}  // namespace velt::ui
