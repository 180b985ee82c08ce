#pragma once
// The notification icon's decisions, apart from Shell_NotifyIcon: which
// record size and callback version the shell is asked for and what to fall
// back to, how a callback becomes an action, balloon replacement, and the
// re-add after Explorer restarts. Plain C++; main thread only.
#include <cstdint>
#include <string>
#include <utility>

#include "core/feedback.h"
#include "status/status_evaluation.h"

namespace velt::ui {

// How much of the shell's record is filled in. Full is the whole current
// record (Vista and later). V2 ends before guidItem: the smallest record with
// the balloon fields, which 2000 and XP accept; the program needs NT 5 or
// later, so nothing older is ever asked for.
enum class RecordSize { V2, Full };

// Callback versions: 0 is what every shell speaks, 4 is Vista's.
inline constexpr unsigned kTrayVersion0 = 0;
inline constexpr unsigned kTrayVersion4 = 4;

// The fields of the record that an operation carries.
enum TrayField : unsigned {
    kTrayMessageField = 1u << 0,  // the callback message
    kTrayIconField = 1u << 1,     // the picture
    kTrayTipField = 1u << 2,      // the hint
    kTrayInfoField = 1u << 3,     // the balloon; an empty text takes a shown one away
    kTrayShowTipField = 1u << 4,  // version 4 shows the hint only when asked
};

// What one Shell_NotifyIcon call is asked. The Win32 side turns it into the
// system's record (one icon per window, so no id here).
struct NotifyRecord {
    RecordSize size = RecordSize::Full;
    unsigned fields = 0;
    unsigned version = kTrayVersion0;  // for SetVersion only
    TrayImage image = TrayImage::Normal;
    std::string tip;
    std::string balloonTitle;
    std::string balloonText;
    BalloonKind balloonKind = BalloonKind::Information;
    bool respectQuietTime = false;  // the balloon waits out the user's quiet time
};

// The shell's notification area; each call answers whether it took it.
class INotifyShell {
public:
    virtual ~INotifyShell() = default;
    virtual bool Add(const NotifyRecord& record) = 0;
    virtual bool Modify(const NotifyRecord& record) = 0;
    virtual bool Delete(const NotifyRecord& record) = 0;
    virtual bool SetVersion(const NotifyRecord& record) = 0;
};

// The callback's event codes, as the shell sends them (the values of
// WM_LBUTTONDOWN, NIN_SELECT and the rest; the Win32 side checks them).
namespace tray_event {
inline constexpr unsigned kContextMenu = 0x007B;
inline constexpr unsigned kLeftButtonDown = 0x0201;
inline constexpr unsigned kLeftButtonUp = 0x0202;
inline constexpr unsigned kRightButtonDown = 0x0204;
inline constexpr unsigned kRightButtonUp = 0x0205;
inline constexpr unsigned kSelect = 0x0400;
inline constexpr unsigned kKeySelect = 0x0401;
inline constexpr unsigned kBalloonHide = 0x0403;
inline constexpr unsigned kBalloonTimeout = 0x0404;
inline constexpr unsigned kBalloonUserClick = 0x0405;
}  // namespace tray_event

enum class TrayAction { None, Restore, OpenMenu };

// "1 alert waiting", "3 alerts waiting"; empty for none.
std::string AlertsWaitingText(int64_t count);

class TrayIconLogic {
public:
    TrayIconLogic(INotifyShell& shell, std::string tip) : shell_(shell), tip_(std::move(tip)) {}

    // Adds the icon and settles the version: 4 with the full record, else
    // version 0 with the V2 record. False when the shell took neither (no
    // notification area yet; "TaskbarCreated" will say when there is one).
    bool Add();
    // After "TaskbarCreated": the shell may still hold the icon (the broadcast
    // also comes when only the taskbar was rebuilt), so it goes first.
    bool Readd();
    void Delete();

    void SetImage(TrayImage image);
    // A second line under the hint ("3 alerts waiting"); empty: none.
    void SetTipNote(const std::string& note);
    // Takes away a balloon that may still be shown, then shows this one, cut
    // to the record's fields. The caller has checked "Balloon Hints".
    void ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind);

    // A callback's lParam: version 4 puts the event in its low word (the icon
    // id above), version 0 sends the mouse message itself.
    TrayAction OnCallback(std::uintptr_t lParam);

    bool Added() const { return added_; }
    unsigned Version() const { return version_; }
    TrayImage Image() const { return image_; }
    unsigned BalloonsShown() const { return balloonsShown_; }

private:
    NotifyRecord Record(unsigned fields) const;
    bool AddAs(RecordSize size, unsigned version);

    INotifyShell& shell_;
    std::string tip_;
    std::string tipNote_;
    bool added_ = false;
    RecordSize size_ = RecordSize::Full;
    unsigned version_ = kTrayVersion0;
    TrayImage image_ = TrayImage::Normal;
    bool balloonMayShow_ = false;
    unsigned balloonsShown_ = 0;
};

}  // namespace velt::ui
