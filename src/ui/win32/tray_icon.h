#pragma once
// TrayIcon: the notification-area icon, owned: the constructor adds it, the
// destructor removes it, and Explorer's "TaskbarCreated" broadcast adds it
// again. Its events arrive at the owner window as `callbackMessage`, in the
// version-4 form (the event in LOWORD(lParam)). Main thread only.
#include <windows.h>

#include <string>

#include "core/feedback.h"
#include "status/status_evaluation.h"
#include "sys/win32/win_handle.h"

namespace velt::ui {

enum class TrayMenuChoice { None, Restore, Minimize, Exit };

class TrayIcon {
public:
    TrayIcon(HWND owner, HINSTANCE inst, UINT callbackMessage);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    UINT TaskbarCreatedMessage() const { return taskbarCreated_; }
    void Readd();

    void SetImage(TrayImage image);
    // Replaces a balloon still shown; the caller has checked "Balloon Hints".
    void ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind);
    // The icon's menu at the cursor, until the user picks or clicks elsewhere.
    TrayMenuChoice ShowMenu();

private:
    NOTIFYICONDATAA Record(UINT flags) const;
    void Add();
    void BuildMenu(HINSTANCE inst);

    HWND owner_;
    UINT callbackMessage_;
    UINT taskbarCreated_;
    win::Icon images_[3];
    TrayImage image_ = TrayImage::Normal;
    HMENU menu_ = nullptr;
    win::GdiObject menuPictures_[3];
};

}  // namespace velt::ui
