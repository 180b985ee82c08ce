#include "ui/win32/tray_icon.h"

#include <cstring>

#include "ui/balloon_text.h"
#include "ui/resource.h"
#include "ui/win32/controls.h"

namespace velt::ui {

namespace {

constexpr UINT kIconId = 1;
constexpr const char* kHint = "Veltrano";
constexpr UINT kRestoreItem = 1, kMinimizeItem = 2, kExitItem = 3;
constexpr int kMenuPicture = 16;
// Shown before Vista's record fields; the version-4 callbacks need it to show the hint.
#ifndef NIF_SHOWTIP
constexpr UINT NIF_SHOWTIP = 0x80;
#endif

template <size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    const size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

// A menu picture from an icon, drawn on the menu's colour: not every system
// honours the alpha of a menu bitmap.
win::GdiObject IconBitmap(HICON icon) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kMenuPicture;
    bi.bmiHeader.biHeight = -kMenuPicture;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    win::GdiObject bitmap(::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    if (dc && bitmap) {
        HGDIOBJ old = ::SelectObject(dc, bitmap.get());
        const RECT all{0, 0, kMenuPicture, kMenuPicture};
        ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_MENU));
        ::DrawIconEx(dc, 0, 0, icon, kMenuPicture, kMenuPicture, 0, nullptr, DI_NORMAL);
        ::SelectObject(dc, old);
    }
    if (dc) ::DeleteDC(dc);
    return bitmap;
}

}  // namespace

TrayIcon::TrayIcon(HWND owner, HINSTANCE inst, UINT callbackMessage)
    : owner_(owner), callbackMessage_(callbackMessage), taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")) {
    images_[0] = LoadSmallIcon(inst, IDI_TRAY_NORMAL);
    images_[1] = LoadSmallIcon(inst, IDI_TRAY_AVR);
    images_[2] = LoadSmallIcon(inst, IDI_TRAY_FAIL);
    BuildMenu(inst);
    Add();
}

TrayIcon::~TrayIcon() {
    NOTIFYICONDATAA nid = Record(0);
    ::Shell_NotifyIconA(NIM_DELETE, &nid);
    if (menu_) ::DestroyMenu(menu_);
}

NOTIFYICONDATAA TrayIcon::Record(UINT flags) const {
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = owner_;
    nid.uID = kIconId;
    nid.uFlags = flags;
    return nid;
}

void TrayIcon::Add() {
    NOTIFYICONDATAA nid = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    nid.uCallbackMessage = callbackMessage_;
    nid.hIcon = images_[static_cast<int>(image_)].get();
    CopyText(nid.szTip, kHint);
    ::Shell_NotifyIconA(NIM_ADD, &nid);
    nid.uVersion = NOTIFYICON_VERSION_4;
    ::Shell_NotifyIconA(NIM_SETVERSION, &nid);
}

// Explorer restarted and forgot every icon.
void TrayIcon::Readd() { Add(); }

void TrayIcon::SetImage(TrayImage image) {
    image_ = image;
    NOTIFYICONDATAA nid = Record(NIF_ICON);
    nid.hIcon = images_[static_cast<int>(image)].get();
    ::Shell_NotifyIconA(NIM_MODIFY, &nid);
}

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) {
    NOTIFYICONDATAA nid = Record(NIF_INFO);
    ::Shell_NotifyIconA(NIM_MODIFY, &nid);  // an empty text takes a shown balloon away
    CopyText(nid.szInfoTitle, BalloonTitle(title));
    CopyText(nid.szInfo, BalloonText(text));
    nid.uTimeout = kBalloonMs;
    nid.dwInfoFlags = kind == BalloonKind::Warning ? NIIF_WARNING : NIIF_INFO;
    ::Shell_NotifyIconA(NIM_MODIFY, &nid);
}

void TrayIcon::BuildMenu(HINSTANCE inst) {
    menu_ = ::CreatePopupMenu();
    if (!menu_) return;
    const struct {
        UINT id;
        const char* text;
        int icon;
    } items[] = {{kRestoreItem, "Restore", IDI_MENU_RESTORE},
                 {kMinimizeItem, "Minimize", IDI_MENU_MINIMIZE},
                 {kExitItem, "Exit", IDI_EXIT}};
    int i = 0;
    for (const auto& item : items) {
        if (i > 0) ::AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu_, MF_STRING, item.id, item.text);
        win::Icon icon = LoadSmallIcon(inst, item.icon);
        menuPictures_[i] = IconBitmap(icon.get());
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_BITMAP;
        mii.hbmpItem = static_cast<HBITMAP>(menuPictures_[i].get());
        ::SetMenuItemInfoA(menu_, item.id, FALSE, &mii);
        ++i;
    }
}

TrayMenuChoice TrayIcon::ShowMenu() {
    if (!menu_) return TrayMenuChoice::None;
    POINT at{};
    ::GetCursorPos(&at);
    // Without this the menu stays open when the user clicks elsewhere.
    ::SetForegroundWindow(owner_);
    const UINT picked = static_cast<UINT>(
        ::TrackPopupMenuEx(menu_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, owner_, nullptr));
    ::PostMessageA(owner_, WM_NULL, 0, 0);
    switch (picked) {
        case kRestoreItem: return TrayMenuChoice::Restore;
        case kMinimizeItem: return TrayMenuChoice::Minimize;
        case kExitItem: return TrayMenuChoice::Exit;
        default: return TrayMenuChoice::None;
    }
}

}  // namespace velt::ui
