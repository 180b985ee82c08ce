#pragma once
// TrayIcon: the notification-area icon, owned: the constructor adds it, the
// destructor removes it, and Explorer's "TaskbarCreated" broadcast adds it
// again. What to ask the shell and how to read its callbacks is decided by
// TrayIconLogic; this side makes the real Shell_NotifyIcon calls and owns the
// pictures and the menu. Main thread only.
#include <windows.h>

#include <string>

#include "core/feedback.h"
#include "status/status_evaluation.h"
#include "sys/win32/win_handle.h"
#include "ui/tray_logic.h"

namespace velt::ui {

inline constexpr UINT kTrayIconId = 1;

// Window properties the icon keeps on its owner, so that a test can see what
// the shell was given: 1 while the shell holds the icon, the callback
// version, the picture index and the number of balloons the shell took.
inline constexpr char kTrayPropIcon[] = "Veltrano.TrayIcon";
inline constexpr char kTrayPropVersion[] = "Veltrano.TrayVersion";
inline constexpr char kTrayPropPicture[] = "Veltrano.TrayPicture";
inline constexpr char kTrayPropBalloons[] = "Veltrano.TrayBalloons";

enum class TrayMenuChoice { None, Restore, Minimize, Exit };

// Shell_NotifyIconA for one window's one icon.
class SystemNotifyShell final : public INotifyShell {
public:
    SystemNotifyShell(HWND owner, UINT callbackMessage, const win::Icon (&images)[3])
        : owner_(owner), callbackMessage_(callbackMessage), images_(images) {}

    bool Add(const NotifyRecord& record) override { return Call(NIM_ADD, record); }
    bool Modify(const NotifyRecord& record) override { return Call(NIM_MODIFY, record); }
    bool Delete(const NotifyRecord& record) override { return Call(NIM_DELETE, record); }
    bool SetVersion(const NotifyRecord& record) override { return Call(NIM_SETVERSION, record); }

private:
    bool Call(DWORD message, const NotifyRecord& record) const;

    HWND owner_;
    UINT callbackMessage_;
    const win::Icon (&images_)[3];
};

class TrayIcon {
public:
    TrayIcon(HWND owner, HINSTANCE inst, UINT callbackMessage);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    UINT TaskbarCreatedMessage() const { return taskbarCreated_; }
    void Readd();

    void SetImage(TrayImage image);
    void SetTipNote(const std::string& note) { logic_.SetTipNote(note); }
    // Replaces a balloon still shown; the caller has checked "Balloon Hints".
    void ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind);
    // What the callback message with this lParam asks of the window.
    TrayAction OnCallback(LPARAM lParam) { return logic_.OnCallback(static_cast<std::uintptr_t>(lParam)); }
    // The icon's menu at the cursor, until the user picks or clicks elsewhere.
    TrayMenuChoice ShowMenu();

private:
    void BuildMenu(HINSTANCE inst);
    void Publish() const;

    HWND owner_;
    UINT taskbarCreated_;
    win::Icon images_[3];
    SystemNotifyShell shell_;
    TrayIconLogic logic_;
    HMENU menu_ = nullptr;
    win::GdiObject menuPictures_[3];
};

}  // namespace velt::ui
