#include "ui/win32/tray_icon.h"

#include <cstring>

#include "ui/resource.h"
#include "ui/win32/controls.h"
#include "ui/win32/string_resources.h"

namespace velt::ui {

namespace {

constexpr UINT kRestoreItem = 1, kMinimizeItem = 2, kExitItem = 3;
constexpr int kMenuPicture = 16;
// Version 4 shows the hint only with this flag.
#ifndef NIF_SHOWTIP
constexpr UINT NIF_SHOWTIP = 0x80;
#endif

constexpr struct {
    unsigned field;
    UINT flag;
} kFlags[] = {{kTrayMessageField, NIF_MESSAGE},
              {kTrayIconField, NIF_ICON},
              {kTrayTipField, NIF_TIP},
              {kTrayInfoField, NIF_INFO},
              {kTrayShowTipField, NIF_SHOWTIP}};

static_assert(tray_event::kContextMenu == WM_CONTEXTMENU && tray_event::kLeftButtonDown == WM_LBUTTONDOWN &&
              tray_event::kLeftButtonUp == WM_LBUTTONUP && tray_event::kRightButtonDown == WM_RBUTTONDOWN &&
              tray_event::kRightButtonUp == WM_RBUTTONUP && tray_event::kSelect == NIN_SELECT &&
              tray_event::kKeySelect == NIN_KEYSELECT && tray_event::kBalloonHide == NIN_BALLOONHIDE &&
              tray_event::kBalloonTimeout == NIN_BALLOONTIMEOUT &&
              tray_event::kBalloonUserClick == NIN_BALLOONUSERCLICK);

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

bool SystemNotifyShell::Call(DWORD message, const NotifyRecord& r) const {
    NOTIFYICONDATAA nid{};
    nid.cbSize = r.size == RecordSize::Full ? sizeof nid : NOTIFYICONDATAA_V2_SIZE;
    nid.hWnd = owner_;
    nid.uID = kTrayIconId;
    for (const auto& [field, flag] : kFlags)
        if (r.fields & field) nid.uFlags |= flag;
    nid.uCallbackMessage = callbackMessage_;
    nid.hIcon = images_[static_cast<int>(r.image)].get();
    CopyText(nid.szTip, r.tip);
    CopyText(nid.szInfoTitle, r.balloonTitle);
    CopyText(nid.szInfo, r.balloonText);
    nid.dwInfoFlags = r.balloonKind == BalloonKind::Warning ? NIIF_WARNING : NIIF_INFO;
    if (r.respectQuietTime) nid.dwInfoFlags |= NIIF_RESPECT_QUIET_TIME;
    // One field of the record: the balloon's time, or the version asked for.
    if (r.fields & kTrayInfoField)
        nid.uTimeout = kBalloonMs;
    else
        nid.uVersion = r.version;
    return ::Shell_NotifyIconA(message, &nid) != FALSE;
}

TrayIcon::TrayIcon(HWND owner, HINSTANCE inst, UINT callbackMessage)
    : owner_(owner),
      taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")),
      images_{LoadSmallIcon(inst, IDI_TRAY_NORMAL), LoadSmallIcon(inst, IDI_TRAY_AVR),
              LoadSmallIcon(inst, IDI_TRAY_FAIL)},
      shell_(owner, callbackMessage, images_),
      logic_(shell_, LoadText(inst, IDS_AppName)) {
    BuildMenu(inst);
    logic_.Add();
    Publish();
}

TrayIcon::~TrayIcon() {
    logic_.Delete();
    for (const char* name : {kTrayPropIcon, kTrayPropVersion, kTrayPropPicture, kTrayPropBalloons})
        ::RemovePropA(owner_, name);
    if (menu_) ::DestroyMenu(menu_);
}

// Explorer restarted and forgot every icon, or started after us.
void TrayIcon::Readd() {
    logic_.Readd();
    Publish();
}

void TrayIcon::SetImage(TrayImage image) {
    logic_.SetImage(image);
    Publish();
}

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) {
    logic_.ShowBalloon(title, text, kind);
    Publish();
}

void TrayIcon::Publish() const {
    const struct {
        const char* name;
        UINT_PTR value;
    } props[] = {{kTrayPropIcon, logic_.Added() ? 1u : 0u},
                 {kTrayPropVersion, logic_.Version()},
                 {kTrayPropPicture, static_cast<UINT_PTR>(logic_.Image())},
                 {kTrayPropBalloons, logic_.BalloonsShown()}};
    for (const auto& p : props) ::SetPropA(owner_, p.name, reinterpret_cast<HANDLE>(p.value));
}

void TrayIcon::BuildMenu(HINSTANCE inst) {
    menu_ = ::CreatePopupMenu();
    if (!menu_) return;
    const struct {
        UINT id;
        StringId text;
        int icon;
    } items[] = {{kRestoreItem, IDS_Restore, IDI_MENU_RESTORE},
                 {kMinimizeItem, IDS_Minimize, IDI_MENU_MINIMIZE},
                 {kExitItem, IDS_Exit, IDI_EXIT}};
    int i = 0;
    for (const auto& item : items) {
        if (i > 0) ::AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu_, MF_STRING, item.id, LoadText(inst, item.text).c_str());
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
