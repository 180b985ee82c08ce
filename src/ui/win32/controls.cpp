#include "ui/win32/controls.h"

#include <commctrl.h>

namespace velt::ui {

namespace {

using layout::Kind;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

struct ClassAndStyle {
    const char* cls;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle ClassFor(Kind kind) {
    switch (kind) {
        case Kind::ToolButton:
            return {WC_BUTTONA, kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 0};
        case Kind::Label:
            return {WC_STATICA, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
        case Kind::LabelRight:
            return {WC_STATICA, kChild | SS_RIGHT | SS_NOPREFIX, 0};
        case Kind::LabelCenter:
            return {WC_STATICA, kChild | SS_CENTER | SS_NOPREFIX, 0};
        case Kind::ReadOnlyEdit:
            return {WC_EDITA, kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
        case Kind::NumberEdit:
            return {WC_EDITA, kChild | WS_TABSTOP | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE};
        case Kind::LogMemo:
            return {WC_EDITA, kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                    WS_EX_CLIENTEDGE};
        case Kind::Group:
            return {WC_BUTTONA, kChild | BS_GROUPBOX, 0};
        case Kind::UpDown:
            return {UPDOWN_CLASSA,
                    kChild | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0};
    }
    return {WC_STATICA, kChild, 0};
}

void AttachUpDown(HWND upDown, const layout::ControlSpec& spec) {
    HWND buddy = ::GetDlgItem(::GetParent(upDown), spec.buddy);
    if (buddy) ::SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
}

}  // namespace

HWND CreateControl(HWND parent, const layout::ControlSpec& spec, HFONT font, HICON icon) {
    const ClassAndStyle cs = ClassFor(spec.kind);
    HWND h = ::CreateWindowExA(cs.exStyle, cs.cls, spec.text, cs.style, spec.box.x, spec.box.y, spec.box.w, spec.box.h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                               reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                               nullptr);
    if (!h) return nullptr;
    ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (spec.kind == Kind::ToolButton && icon)
        ::SendMessageA(h, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    if (spec.kind == Kind::UpDown) AttachUpDown(h, spec);
    return h;
}

HWND CreateTooltips(HWND owner) {
    return ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(owner, GWLP_HINSTANCE)),
                             nullptr);
}

void AddTooltip(HWND tooltips, HWND control, const char* text) {
    if (!tooltips || !control || !text) return;
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = ::GetParent(control);
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<char*>(text);
    ::SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

HFONT DefaultGuiFont() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

win::GdiObject CreateSmallFont(HWND reference) {
    HDC dc = ::GetDC(reference);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ::ReleaseDC(reference, dc);
    return win::GdiObject(::CreateFontA(-::MulDiv(7, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma"));
}

win::Icon LoadSmallIcon(HINSTANCE inst, int id) {
    return win::Icon(static_cast<HICON>(::LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0)));
}

}  // namespace velt::ui
