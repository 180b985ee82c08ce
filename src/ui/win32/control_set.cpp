#include "ui/win32/control_set.h"

#include <commctrl.h>

#include "ui/dpi_scale.h"
#include "ui/win32/controls.h"
#include "ui/win32/page_panel.h"
#include "ui/win32/string_resources.h"

namespace velt::ui {

namespace {

using layout::Kind;
using layout::Page;

HWND CreateTabs(HWND parent, int id, const RECT& r, HFONT font) {
    HWND tabs = ::CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                                  r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                                  nullptr);
    if (tabs) ::SendMessageA(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return tabs;
}

template <size_t N>
void AddTabCaptions(HWND tabs, HINSTANCE inst, const layout::PageDef (&pages)[N]) {
    for (size_t i = 0; i < N; ++i) {
        std::string caption = LoadText(inst, pages[i].caption);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

// The display area of a tab control in its parent's coordinates; the height of
// its headers follows its font.
RECT PageArea(HWND tabs) {
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
    AddTabCaptions(tabs, inst, pages);
    const RECT area = PageArea(tabs);
    for (size_t i = 0; i < N; ++i) panels[i] = CreatePagePanel(::GetParent(tabs), pages[i].id, area);
    ::SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

template <size_t N>
void PlacePanels(HWND tabs, HWND (&panels)[N]) {
    const RECT area = PageArea(tabs);
    for (HWND p : panels)
        ::SetWindowPos(p, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool ControlSet::Build(HWND window, HINSTANCE inst, int dpi, int bottom) {
    window_ = window;
    inst_ = inst;
    dpi_ = dpi;
    tooltips_ = CreateTooltips(window);
    CreateFonts();
    if (!CreatePages(bottom)) return false;
    CreateFromTable();
    return repTabs_ != nullptr;
}

void ControlSet::Rescale(int dpi, int bottom) {
    dpi_ = dpi;
    // The old fonts and icons live on until every control has let go of them.
    win::GdiObject oldFonts[] = {std::move(dialogFont_), std::move(smallFont_), std::move(boldFont_)};
    CreateFonts();
    ::SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    const RECT r = TabsRect(bottom);
    ::SetWindowPos(tabs_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PlacePanels(tabs_, pages_);
    std::vector<win::Icon> icons;
    for (const Created& c : created_) {
        RescaleControl(c.hwnd, *c.spec, dpi_, FontFor(*c.spec), c.spec->icon ? AddIcon(*c.spec, icons) : nullptr);
        if (c.hwnd == repTabs_) PlacePanels(repTabs_, repPages_);
    }
    icons_.swap(icons);
}

void ControlSet::CreateFonts() {
    dialogFont_ = CreateDialogFont(dpi_);
    smallFont_ = CreateSmallFont(dpi_);
    boldFont_ = CreateBoldFont(dpi_);
}

RECT ControlSet::TabsRect(int bottom) const {
    const layout::Box b = ScaleToDpi(layout::Box{layout::kTabsLeft, layout::kTabsTop, layout::kTabsWidth, 0}, dpi_);
    return {b.x, b.y, b.Right(), bottom};
}

bool ControlSet::CreatePages(int bottom) {
    tabs_ = CreateTabs(window_, IDC_PC, TabsRect(bottom), DialogFont());
    if (!tabs_) return false;
    CreatePanels(tabs_, inst_, layout::kPages, pages_);
    for (HWND p : pages_)
        if (!p) return false;
    return true;
}

void ControlSet::CreateRepPages(HWND repTabs) {
    repTabs_ = repTabs;
    CreatePanels(repTabs, inst_, layout::kRepPages, repPages_);
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
    if (spec.kind == Kind::Title) return static_cast<HFONT>(boldFont_.get());
    if (spec.page != Page::Window) return static_cast<HFONT>(smallFont_.get());
    return DialogFont();
}

HICON ControlSet::AddIcon(const layout::ControlSpec& spec, std::vector<win::Icon>& icons) const {
    icons.push_back(LoadProgramIcon(inst_, spec.icon, IconSize(spec, dpi_)));
    return icons.back().get();
}

void ControlSet::CreateFromTable() {
    for (const auto& spec : layout::kMainControls) {
        HWND parent = ParentOf(spec.page);
        if (!parent) continue;
        HWND h = CreateControl(parent, spec, LoadText(inst_, spec.text).c_str(), dpi_, FontFor(spec), spec.icon ? AddIcon(spec, icons_) : nullptr);
        if (!h) continue;
        if (spec.id != layout::kNoId) controls_[spec.id] = h;
        created_.push_back({&spec, h});
        if (spec.hint != kNoText) AddTooltip(tooltips_, h, LoadText(inst_, spec.hint).c_str());
        if (spec.kind == Kind::Tabs) CreateRepPages(h);
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

// A box that changes is painted again: Wine leaves a disabled box inside a
// group box showing its old state.
void ControlSet::SetCheck(int id, bool checked) const {
    HWND box = Get(id);
    const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(::SendMessageA(box, BM_GETCHECK, 0, 0)) == state) return;
    ::SendMessageA(box, BM_SETCHECK, state, 0);
    ::InvalidateRect(box, nullptr, TRUE);
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

void ControlSet::SetItems(int id, const std::vector<std::string>& items) const {
    HWND list = Get(id);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

// CB_SETCURSEL with an index that has no item clears the selection.
void ControlSet::SetSelection(int id, int index) const {
    ::SendMessageA(Get(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::optional<int> ControlSet::Selection(int id) const {
    const LRESULT index = ::SendMessageA(Get(id), CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return std::nullopt;
    return static_cast<int>(index);
}

// The tooltip control keeps its own copy of the text.
void ControlSet::SetHint(int id, const std::string& text) { SetTooltip(tooltips_, Get(id), text.c_str()); }

}  // namespace velt::ui
