#pragma once
// The vocabulary of the main window's layout table: boxes, pages, kinds of
// control, one row of the table and the helpers that make rows. Coordinates on
// a page are relative to the page. Constexpr, as the table built from it is.
#include "ui/control_ids.h"
#include "ui/resource.h"
#include "ui/string_ids.h"

namespace velt::ui::layout {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    constexpr int Right() const { return x + w; }
    constexpr int Bottom() const { return y + h; }
    bool Contains(const Box& o) const;
    bool Overlaps(const Box& o) const;
};

inline constexpr int kClientWidth = 318;
inline constexpr int kClientHeight = 550;

// Toolbar: twelve button slots with separators after Stop, the beeper, Cancel
// Test and Shutdown.
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

// The report pages inside RepPageControl, likewise.
inline constexpr int kRepPageWidth = 284;
inline constexpr int kRepPageHeight = 96;

enum class Page { Window, Info, Status, Settings, Smtp, Http, Lan, Nut, Push, History };

enum class Kind {
    ToolButton,    // push button showing an icon; its text is its hint
    TextButton,    // push button with a short caption
    Label,         // static text, left aligned
    LabelRight,    // static text, right aligned
    LabelCenter,   // static text, centred
    Title,         // static text in bold
    Link,          // static text that takes clicks and shows as a link
    Icon,          // static picture from the program's icons
    ReadOnlyEdit,  // single line
    NumberEdit,    // single line, digits only, typing allowed
    TextEdit,      // single line, typing allowed
    PasswordEdit,  // single line, typing allowed, shown as "*"
    LogMemo,       // multi-line, read-only, vertical scroll bar
    Group,         // group box
    CheckBox,      // a setting the user ticks
    StatusBox,     // a check box the program ticks (display only)
    Radio,         // one of a set; the window keeps exactly one on
    ComboList,     // drop-down list; `box.h` is the closed height
    UpDown,        // whole numbers, shown by its buddy `buddy`
    TenthsUpDown,  // tenths of a volt: the window writes the buddy's text
    Gauge,         // the LED bar
    Tabs,          // the inner page control
    Chart,         // the history's chart, painted by the window
    ListView,      // rows under column headers, one selected at a time
};

inline constexpr int kNoId = -1;  // labels nobody needs to find

inline constexpr unsigned kStartsDisabled = 1;

// Texts are string ids: the window loads them from its resources.
struct ControlSpec {
    int id;
    Page page;
    Kind kind;
    StringId text;
    Box box;
    StringId hint = kNoText;  // tooltip
    int icon = 0;                // resource id for tool buttons and pictures
    int buddy = 0;               // for up-downs
    unsigned flags = 0;
};

constexpr ControlSpec Tool(int id, int slot, StringId hint, int icon) {
    return {id, Page::Window, Kind::ToolButton, hint, ToolSlot(slot), hint, icon};
}
constexpr ControlSpec Fixed(Page page, StringId text, Box box, Kind kind = Kind::Label) {
    return {kNoId, page, kind, text, box};
}
constexpr ControlSpec UpDownFor(int id, Page page, int buddy, Box buddyBox, Kind kind = Kind::UpDown) {
    // Attached to the right edge of its buddy, inside the buddy's box.
    return {id, page, kind, kNoText, {buddyBox.Right(), buddyBox.y, 0, buddyBox.h}, kNoText, 0, buddy};
}

}  // namespace velt::ui::layout
