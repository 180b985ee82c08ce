#include "ui/win32/controls.h"

#include <commctrl.h>

#include "ui/dpi_scale.h"
#include "ui/win32/history_chart_view.h"
#include "ui/win32/led_bar.h"

namespace velt::ui {

namespace {

using layout::Kind;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kSingleLine = kChild | WS_TABSTOP | ES_AUTOHSCROLL;
// How far a drop-down list opens below its closed box.
constexpr int kDropDownHeight = 120;

struct ClassAndStyle {
    const char* cls;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle ClassFor(Kind kind) {
    switch (kind) {
        case Kind::ToolButton: return {WC_BUTTONA, kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 0};
        case Kind::TextButton: return {WC_BUTTONA, kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        // SS_NOTIFY lets a label take the mouse, so its tooltip shows.
        case Kind::Label: return {WC_STATICA, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0};
        case Kind::LabelRight: return {WC_STATICA, kChild | SS_RIGHT | SS_NOPREFIX, 0};
        case Kind::LabelCenter: return {WC_STATICA, kChild | SS_CENTER | SS_NOPREFIX, 0};
        case Kind::Title: return {WC_STATICA, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
        case Kind::Link: return {WC_STATICA, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0};
        case Kind::Icon: return {WC_STATICA, kChild | SS_ICON | SS_NOTIFY | SS_CENTERIMAGE, 0};
        case Kind::ReadOnlyEdit: return {WC_EDITA, kSingleLine | ES_READONLY, WS_EX_CLIENTEDGE};
        case Kind::NumberEdit: return {WC_EDITA, kSingleLine | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE};
        case Kind::TextEdit: return {WC_EDITA, kSingleLine, WS_EX_CLIENTEDGE};
        case Kind::PasswordEdit: return {WC_EDITA, kSingleLine | ES_PASSWORD, WS_EX_CLIENTEDGE};
        case Kind::LogMemo:
            return {WC_EDITA, kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                    WS_EX_CLIENTEDGE};
        case Kind::Group: return {WC_BUTTONA, kChild | BS_GROUPBOX, 0};
        case Kind::CheckBox: return {WC_BUTTONA, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case Kind::StatusBox: return {WC_BUTTONA, kChild | BS_CHECKBOX, 0};
        // Plain radio buttons: the window itself keeps exactly one of them on.
        case Kind::Radio: return {WC_BUTTONA, kChild | WS_TABSTOP | BS_RADIOBUTTON, 0};
        case Kind::ComboList: return {WC_COMBOBOXA, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case Kind::UpDown:
            return {UPDOWN_CLASSA, kChild | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0};
        // The window shows the tenths itself and steps them by key, so the
        // control neither writes its buddy nor takes the arrow keys.
        case Kind::TenthsUpDown: return {UPDOWN_CLASSA, kChild | UDS_ALIGNRIGHT, 0};
        case Kind::Gauge: return {kLedBarClass, kChild, WS_EX_STATICEDGE};
        case Kind::Tabs: return {WC_TABCONTROLA, kChild | WS_CLIPSIBLINGS | WS_TABSTOP, 0};
        case Kind::Chart: return {kHistoryChartClass, kChild, WS_EX_STATICEDGE};
        case Kind::ListView:
            return {WC_LISTVIEWA, kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                    WS_EX_CLIENTEDGE};
    }
    return {WC_STATICA, kChild, 0};
}

void AttachUpDown(HWND upDown, const layout::ControlSpec& spec) {
    HWND buddy = ::GetDlgItem(::GetParent(upDown), spec.buddy);
    if (buddy) ::SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
}

// A combo box's window height includes its list opened below it.
layout::Box WindowBox(const layout::ControlSpec& spec, int dpi) {
    layout::Box box = spec.box;
    if (spec.kind == Kind::ComboList) box.h += kDropDownHeight;
    return ScaleToDpi(box, dpi);
}

void ShowIcon(HWND h, Kind kind, HICON icon) {
    if (!icon) return;
    if (kind == Kind::ToolButton) ::SendMessageA(h, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    if (kind == Kind::Icon) ::SendMessageA(h, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

win::GdiObject DialogFont(int dpi, int points, int weight) {
    return win::GdiObject(::CreateFontA(-::MulDiv(points, dpi, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma"));
}

TTTOOLINFOA ToolFor(HWND control, const char* text) {
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = ::GetParent(control);
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<char*>(text);
    return ti;
}

}  // namespace

HWND CreateControl(HWND parent, const layout::ControlSpec& spec, const char* text, int dpi, HFONT font, HICON icon) {
    const ClassAndStyle cs = ClassFor(spec.kind);
    const DWORD disabled = (spec.flags & layout::kStartsDisabled) ? WS_DISABLED : 0;
    const layout::Box box = WindowBox(spec, dpi);
    HWND h = ::CreateWindowExA(cs.exStyle, cs.cls, text, cs.style | disabled, box.x, box.y, box.w, box.h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                               reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                               nullptr);
    if (!h) return nullptr;
    ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowIcon(h, spec.kind, icon);
    // Version 6 edits mask with a dot unless told the character.
    if (spec.kind == Kind::PasswordEdit) ::SendMessageA(h, EM_SETPASSWORDCHAR, '*', 0);
    if (spec.kind == Kind::UpDown || spec.kind == Kind::TenthsUpDown) AttachUpDown(h, spec);
    return h;
}

// An up-down takes its place from its buddy, which has moved already: attached
// again, it shrinks the buddy and sits at its right edge as at creation.
void RescaleControl(HWND control, const layout::ControlSpec& spec, int dpi, HFONT font, HICON icon) {
    if (!control) return;
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowIcon(control, spec.kind, icon);
    if (spec.kind == Kind::UpDown || spec.kind == Kind::TenthsUpDown) {
        AttachUpDown(control, spec);
    } else {
        const layout::Box box = WindowBox(spec, dpi);
        ::SetWindowPos(control, nullptr, box.x, box.y, box.w, box.h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(control, nullptr, TRUE);
}

int IconSize(const layout::ControlSpec& spec, int dpi) { return ScaleToDpi(spec.kind == Kind::Icon ? 32 : 16, dpi); }

HWND CreateTooltips(HWND owner) {
    return ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(owner, GWLP_HINSTANCE)),
                             nullptr);
}

void AddTooltip(HWND tooltips, HWND control, const char* text) {
    if (!tooltips || !control || !text) return;
    TTTOOLINFOA ti = ToolFor(control, text);
    ::SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void SetTooltip(HWND tooltips, HWND control, const char* text) {
    if (!tooltips || !control || !text) return;
    TTTOOLINFOA ti = ToolFor(control, text);
    ::SendMessageA(tooltips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageA(tooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

win::GdiObject CreateDialogFont(int dpi) { return DialogFont(dpi, 8, FW_NORMAL); }
win::GdiObject CreateSmallFont(int dpi) { return DialogFont(dpi, 7, FW_NORMAL); }
win::GdiObject CreateBoldFont(int dpi) { return DialogFont(dpi, 8, FW_BOLD); }

win::Icon LoadProgramIcon(HINSTANCE inst, int id, int size) {
    return win::Icon(static_cast<HICON>(::LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
}

void SetUpDownIncrement(HWND upDown, int increment) {
    UDACCEL accel{0, static_cast<UINT>(increment)};
    ::SendMessageA(upDown, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

HWND CreateUpDownFor(HWND buddy, int id, int min, int max, int position, int increment) {
    HWND parent = ::GetParent(buddy);
    HWND ud = ::CreateWindowExA(0, UPDOWN_CLASSA, "",
                                WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS |
                                    UDS_NOTHOUSANDS,
                                0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                                nullptr);
    if (!ud) return nullptr;
    ::SendMessageA(ud, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    ::SendMessageA(ud, UDM_SETRANGE32, static_cast<WPARAM>(min), max);
    ::SendMessageA(ud, UDM_SETPOS32, 0, position);
    SetUpDownIncrement(ud, increment);
    return ud;
}

}  // namespace velt::ui
