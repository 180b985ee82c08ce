#include "ui/win32/link_labels.h"

#include <commctrl.h>
#include <shellapi.h>

namespace velt::ui {

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0);
constexpr UINT_PTR kSubclassId = 2;

struct Target {
    int id;
    const char* address;
    bool text;  // a text link (colours, underline) rather than a picture
};

constexpr Target kTargets[] = {
    {IDC_HomeL, "https://www.quorvane.example/", true},
    {IDC_MailL, "mailto:support@quorvane.example?subject=Support", true},
    {IDC_DonateI, "https://www.quorvane.example/donate", false},
};

const Target* Find(int id) {
    for (const auto& t : kTargets)
        if (t.id == id) return &t;
    return nullptr;
}

// The control's own font, underlined.
win::GdiObject UnderlinedFont(HWND control) {
    LOGFONTA lf{};
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0));
    ::GetObjectA(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    return win::GdiObject(::CreateFontIndirectA(&lf));
}

}  // namespace

LinkLabels::LinkLabels(const ControlSet& controls)
    : controls_(controls), hover_(&LinkLabels::HoverProc, kSubclassId) {}

void LinkLabels::Attach() {
    underlined_ = UnderlinedFont(controls_.Get(IDC_HomeL));
    for (const auto& t : kTargets) {
        HWND h = controls_.Get(t.id);
        if (!h) continue;
        if (t.text) ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(underlined_.get()), FALSE);
        hover_.Attach(h, this);
    }
}

LRESULT CALLBACK LinkLabels::HoverProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* links = reinterpret_cast<LinkLabels*>(self);
    switch (msg) {
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
            return TRUE;
        case WM_MOUSEMOVE:
            links->SetHot(h, true);
            break;
        case WM_MOUSELEAVE:
            links->SetHot(h, false);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(h, msg, wParam, lParam);
}

// The pointer goes back to the default by itself: the control under it sets its own.
void LinkLabels::SetHot(HWND h, bool hot) {
    if (hot == (hot_ == h)) return;
    hot_ = hot ? h : nullptr;
    if (hot) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, h, 0};
        ::TrackMouseEvent(&tme);
    }
    ::InvalidateRect(h, nullptr, TRUE);
}

HBRUSH LinkLabels::OnColor(HWND control, HDC dc) const {
    const int id = ::GetDlgCtrlID(control);
    const Target* t = Find(id);
    if (id != IDC_OSL && !(t && t->text)) return nullptr;
    ::SetTextColor(dc, control == hot_ ? kRed : kBlue);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

bool LinkLabels::OnClick(int id, HWND owner) const {
    const Target* t = Find(id);
    if (!t) return false;
    ::ShellExecuteA(owner, "open", t->address, nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

}  // namespace velt::ui
