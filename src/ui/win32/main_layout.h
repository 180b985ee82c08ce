#pragma once
// Where the main window's controls sit, as data: the window builds its controls
// from this table, and native tests check that everything fits the fixed
// 318 x 550 client area. Coordinates on a page are relative to the page.
// Plain C++: no Windows headers here.
#include "ui/win32/control_ids.h"
#include "ui/win32/resource.h"

namespace velt::ui::layout {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    constexpr int Right() const { return x + w; }
    constexpr int Bottom() const { return y + h; }
    constexpr bool Contains(const Box& o) const {
        return o.x >= x && o.y >= y && o.Right() <= Right() && o.Bottom() <= Bottom();
    }
    constexpr bool Overlaps(const Box& o) const {
        return x < o.Right() && o.x < Right() && y < o.Bottom() && o.y < Bottom();
    }
};

inline constexpr int kClientWidth = 318;
inline constexpr int kClientHeight = 550;

// Toolbar: twelve button slots with separators after Stop, the beeper, Cancel
// Test and Shutdown. Only some slots hold a button yet.
inline constexpr int kToolbarSlots = 12;
inline constexpr int kToolButtonSize = 24;
inline constexpr int kToolSeparator = 6;
inline constexpr int kToolbarTop = 4;
inline constexpr int kToolbarLeft = 4;

constexpr int SeparatorsBefore(int slot) {
    return (slot > 1) + (slot > 2) + (slot > 6) + (slot > 9);
}
constexpr Box ToolSlot(int slot) {
    return {kToolbarLeft + slot * kToolButtonSize + SeparatorsBefore(slot) * kToolSeparator, kToolbarTop,
            kToolButtonSize, kToolButtonSize};
}

// The page control spans the client area between the toolbar and the status
// bar, whose height the system decides.
inline constexpr int kTabsLeft = 4;
inline constexpr int kTabsTop = kToolbarTop + kToolButtonSize + 4;
inline constexpr int kTabsWidth = kClientWidth - 2 * kTabsLeft;
inline constexpr int kTabsBottomGap = 4;  // above the status bar

// Every page lays its controls out within this size; the page area the system
// leaves inside the page control is a little larger.
inline constexpr int kPageWidth = 300;
inline constexpr int kPageHeight = 456;

enum class Page { Window, Info, Status, Settings };
inline constexpr int kPageCount = 3;

enum class Kind {
    ToolButton,    // push button showing an icon; its text is its hint
    Label,         // static text, left aligned
    LabelRight,    // static text, right aligned
    LabelCenter,   // static text, centred
    ReadOnlyEdit,  // single line
    NumberEdit,    // single line, digits only
    LogMemo,       // multi-line, read-only, vertical scroll bar
    Group,         // group box
    UpDown,        // up-down attached to the control named by `buddy`
};

inline constexpr int kNoId = -1;  // labels nobody needs to find

struct ControlSpec {
    int id;
    Page page;
    Kind kind;
    const char* text;
    Box box;
    const char* hint = nullptr;  // tooltip
    int icon = 0;                // resource id for tool buttons
    int buddy = 0;               // for up-downs
};

// Groups come before their contents: a group box must be below them in the
// z-order, and creation order is z-order.
inline constexpr ControlSpec kMainControls[] = {
    {IDC_StartSB, Page::Window, Kind::ToolButton, "Start", ToolSlot(0), "Start", IDI_START},
    {IDC_StopSB, Page::Window, Kind::ToolButton, "Stop", ToolSlot(1), "Stop", IDI_STOP},

    {kNoId, Page::Status, Kind::Label, "UPS Data Stream:", {4, 6, 110, 14}},
    {IDC_TimeL, Page::Status, Kind::LabelRight, "", {120, 6, 154, 14}},
    {IDC_ProgressL, Page::Status, Kind::LabelCenter, "", {278, 6, 18, 14}},
    {IDC_ReportStringE, Page::Status, Kind::ReadOnlyEdit, "", {2, 22, 296, 20}},
    {IDC_LogGB, Page::Status, Kind::Group, "Log", {4, 334, 292, 120}},
    {IDC_LogM, Page::Status, Kind::LogMemo, "", {12, 350, 250, 96}},
    {IDC_ClearLogSB, Page::Status, Kind::ToolButton, "Clear Log", {266, 350, 24, 24}, "Clear Log",
     IDI_CLEAR_LOG},
    {IDC_SaveLogSB, Page::Status, Kind::ToolButton, "Save Log", {266, 378, 24, 24}, "Save Log",
     IDI_SAVE_LOG},

    {IDC_SettingsGB, Page::Settings, Kind::Group, "Settings", {4, 300, 292, 72}},
    {kNoId, Page::Settings, Kind::Label, "Refresh Interval:", {12, 323, 104, 14}},
    {IDC_RefreshE, Page::Settings, Kind::NumberEdit, "", {120, 320, 46, 20}},
    {IDC_RefreshUD, Page::Settings, Kind::UpDown, "", {166, 320, 0, 20}, nullptr, 0, IDC_RefreshE},
    {kNoId, Page::Settings, Kind::Label, "s", {170, 323, 20, 14}},
};

inline constexpr struct {
    int id;
    const char* caption;
} kPages[kPageCount] = {
    {IDC_InfoTS, "UPS Information"},
    {IDC_StatusTS, "UPS Status"},
    {IDC_AboutTS, "Settings"},
};
inline constexpr int kOpeningPage = 2;  // the window opens on "Settings"

}  // namespace velt::ui::layout
