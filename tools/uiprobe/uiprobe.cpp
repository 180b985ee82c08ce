// uiprobe: reads and drives Veltrano's windows from outside, for end-to-end
// tests under Wine. One query per run; prints plain UTF-8 text on stdout.
//
// Exit codes: 0 done, 1 "no" (exists/msgbox), 2 window or control not found,
// 3 refused (control disabled, bad value), 4 the window did not answer in
// time, 64 usage.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ui/control_ids.h"
#include "ui/win32/tray_icon.h"
#include "ui/win32/window_messages.h"

namespace {

using velt::ui::kNamedControls;

enum Exit { kOk = 0, kNo = 1, kNotFound = 2, kRefused = 3, kTimeout = 4, kUsage = 64 };

// How long one cross-process message may take: the program's main thread can
// be inside a serial exchange (up to a few seconds) when we ask.
UINT g_timeout_ms = 8000;

// Message boxes put their text in a static with this id.
constexpr int kMsgBoxTextId = 0xFFFF;

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

std::wstring Wide(const char* s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
    return w;
}

void Out(const std::string& s) { fwrite(s.data(), 1, s.size(), stdout); }
void OutLine(const std::string& s) { Out(s + "\n"); }

// SendMessageTimeout that remembers whether any message timed out.
bool g_timed_out = false;
bool Send(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result = nullptr) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_BLOCK, g_timeout_ms, &r)) {
        g_timed_out = true;
        return false;
    }
    if (result) *result = static_cast<LRESULT>(r);
    return true;
}

std::wstring ClassOf(HWND h) {
    wchar_t buf[128] = {};
    GetClassNameW(h, buf, 128);
    return buf;
}

bool IsClass(HWND h, const wchar_t* cls) { return _wcsicmp(ClassOf(h).c_str(), cls) == 0; }

// Text through WM_GETTEXT: the system copies it across processes for us.
std::wstring TextOf(HWND h) {
    LRESULT len = 0;
    if (!Send(h, WM_GETTEXTLENGTH, 0, 0, &len) || len < 0) return {};
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 2, L'\0');
    LRESULT got = 0;
    if (!Send(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), &got)) return {};
    return std::wstring(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
}

std::vector<std::wstring> ComboItems(HWND h) {
    std::vector<std::wstring> items;
    LRESULT count = 0;
    if (!Send(h, CB_GETCOUNT, 0, 0, &count)) return items;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT len = 0;
        if (!Send(h, CB_GETLBTEXTLEN, i, 0, &len) || len < 0) break;
        std::vector<wchar_t> buf(static_cast<size_t>(len) + 2, L'\0');
        LRESULT got = 0;
        if (!Send(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf.data()), &got)) break;
        items.emplace_back(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
    }
    return items;
}

// A list view's rows, its cells joined by tabs. Its texts live in the other
// process: the item and its buffer are written to and read from memory there.
std::vector<std::wstring> ListRows(HWND h) {
    std::vector<std::wstring> rows;
    LRESULT count = 0, header = 0, columns = 0;
    if (!Send(h, LVM_GETITEMCOUNT, 0, 0, &count) || !Send(h, LVM_GETHEADER, 0, 0, &header)) return rows;
    Send(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, &columns);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return rows;
    constexpr int kChars = 512;
    char* remote = static_cast<char*>(VirtualAllocEx(proc, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                                     MEM_COMMIT, PAGE_READWRITE));
    for (LRESULT row = 0; remote && row < count; ++row) {
        std::wstring line;
        for (LRESULT column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = static_cast<int>(column);
            item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
            item.cchTextMax = kChars;
            wchar_t text[kChars] = {};
            WriteProcessMemory(proc, remote, &item, sizeof item, nullptr);
            Send(h, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
            ReadProcessMemory(proc, remote + sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t), nullptr);
            line += (column ? L"\t" : L"") + std::wstring(text);
        }
        rows.push_back(line);
    }
    if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    CloseHandle(proc);
    return rows;
}

// A top-level caption is kept by the system: no message to the owner needed.
std::wstring CaptionOf(HWND h) {
    wchar_t buf[256] = {};
    GetWindowTextW(h, buf, 256);
    return buf;
}

// --- finding windows -------------------------------------------------------

struct TopWindows {
    HWND main = nullptr;
    DWORD pid = 0;
    std::vector<HWND> all;  // every top-level window of that process, main first
};

BOOL CALLBACK FindMain(HWND h, LPARAM lp) {
    auto* t = reinterpret_cast<TopWindows*>(lp);
    if (IsClass(h, Wide(velt::ui::kMainWindowClass).c_str())) {
        t->main = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectOwn(HWND h, LPARAM lp) {
    auto* t = reinterpret_cast<TopWindows*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == t->pid && h != t->main) t->all.push_back(h);
    return TRUE;
}

BOOL CALLBACK FindByCaption(HWND h, LPARAM lp) {
    auto* t = reinterpret_cast<TopWindows*>(lp);
    if (CaptionOf(h) == Wide(velt::ui::kComPortDialogCaption)) {
        GetWindowThreadProcessId(h, &t->pid);
        return FALSE;
    }
    return TRUE;
}

TopWindows FindProgram() {
    TopWindows t;
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&t));
    if (t.main) {
        GetWindowThreadProcessId(t.main, &t.pid);
        t.all.push_back(t.main);
    } else {
        // No main window (yet): the port dialog alone still identifies us.
        EnumWindows(FindByCaption, reinterpret_cast<LPARAM>(&t));
    }
    if (t.pid) EnumWindows(CollectOwn, reinterpret_cast<LPARAM>(&t));
    return t;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChildById(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    if (GetDlgCtrlID(h) == s->id) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND top, int id) {
    if (HWND h = GetDlgItem(top, id)) return h;
    ChildSearch s{id, nullptr};
    EnumChildWindows(top, FindChildById, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

int IdOf(const char* name) {
    for (const auto& c : kNamedControls)
        if (_stricmp(c.name, name) == 0) return c.id;
    return 0;
}

const char* NameOf(int id) {
    for (const auto& c : kNamedControls)
        if (c.id == id) return c.name;
    return "-";
}

// A tool button is no window of its own: it is a command id inside a toolbar.
struct Target {
    HWND hwnd = nullptr;     // the control, or the toolbar holding the button
    bool tool_button = false;
    int id = 0;
};

struct ToolbarSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindToolbarWith(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<ToolbarSearch*>(lp);
    if (IsClass(h, TOOLBARCLASSNAMEW)) {
        LRESULT idx = -1;
        if (Send(h, TB_COMMANDTOINDEX, static_cast<WPARAM>(s->id), 0, &idx) && idx >= 0) {
            s->found = h;
            return FALSE;
        }
    }
    return TRUE;
}

Target FindControl(const TopWindows& t, int id) {
    Target r;
    r.id = id;
    for (HWND top : t.all) {
        if (HWND h = FindChild(top, id)) {
            r.hwnd = h;
            return r;
        }
    }
    for (HWND top : t.all) {
        ToolbarSearch s{id, nullptr};
        EnumChildWindows(top, FindToolbarWith, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            r.hwnd = s.found;
            r.tool_button = true;
            return r;
        }
    }
    return r;
}

// --- commands --------------------------------------------------------------

int Fail(Exit code, const char* what) {
    fprintf(stderr, "uiprobe: %s\n", what);
    return code;
}

int Resolve(const char* name, TopWindows& t, Target& target) {
    int id = IdOf(name);
    if (!id) return Fail(kUsage, "unknown control name");
    t = FindProgram();
    if (t.all.empty()) return Fail(kNotFound, "Veltrano window not found");
    target = FindControl(t, id);
    if (!target.hwnd) return Fail(kNotFound, "control not found");
    return kOk;
}

int CmdGet(const char* name) {
    TopWindows t;
    Target c;
    if (int rc = Resolve(name, t, c)) return rc;
    if (c.tool_button) {
        OutLine("");
        return kOk;
    }
    if (IsClass(c.hwnd, WC_TABCONTROLW)) {
        LRESULT sel = -1;
        Send(c.hwnd, TCM_GETCURSEL, 0, 0, &sel);
        OutLine(std::to_string(sel));
    } else if (IsClass(c.hwnd, UPDOWN_CLASSW)) {
        LRESULT pos = 0;
        Send(c.hwnd, UDM_GETPOS32, 0, 0, &pos);
        OutLine(std::to_string(pos));
    } else if (IsClass(c.hwnd, WC_LISTVIEWW)) {
        // One line per row, its cells separated by tabs.
        for (const std::wstring& row : ListRows(c.hwnd)) OutLine(Utf8(row));
    } else if (IsClass(c.hwnd, WC_COMBOBOXW)) {
        // First line: the shown text; then "[i] item" for each list entry.
        OutLine(Utf8(TextOf(c.hwnd)));
        auto items = ComboItems(c.hwnd);
        for (size_t i = 0; i < items.size(); ++i)
            OutLine("[" + std::to_string(i) + "] " + Utf8(items[i]));
    } else {
        Out(Utf8(TextOf(c.hwnd)));
        OutLine("");
    }
    return g_timed_out ? kTimeout : kOk;
}

int CmdState(const char* name) {
    TopWindows t;
    Target c;
    if (int rc = Resolve(name, t, c)) return rc;
    int enabled, visible, shown, checked = -1;
    if (c.tool_button) {
        LRESULT st = 0;
        Send(c.hwnd, TB_GETSTATE, static_cast<WPARAM>(c.id), 0, &st);
        enabled = (st & TBSTATE_ENABLED) != 0;
        visible = (st & TBSTATE_HIDDEN) == 0;
        shown = visible && IsWindowVisible(c.hwnd);
        checked = (st & TBSTATE_CHECKED) != 0;
    } else {
        enabled = IsWindowEnabled(c.hwnd) != 0;
        visible = (GetWindowLongW(c.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
        shown = IsWindowVisible(c.hwnd) != 0;
        if (IsClass(c.hwnd, WC_BUTTONW)) {
            LRESULT r = 0;
            if (Send(c.hwnd, BM_GETCHECK, 0, 0, &r)) checked = r == BST_CHECKED;
        }
    }
    // visible: the control's own flag; shown: it and all its parents.
    std::string line = "enabled=" + std::to_string(enabled) + " visible=" +
                       std::to_string(visible) + " shown=" + std::to_string(shown) +
                       " checked=" + (checked < 0 ? std::string("-") : std::to_string(checked));
    OutLine(line);
    return g_timed_out ? kTimeout : kOk;
}

int CmdClick(const char* name) {
    TopWindows t;
    Target c;
    if (int rc = Resolve(name, t, c)) return rc;
    // Posted, not sent: a click that opens a modal dialog must not block us.
    if (c.tool_button) {
        LRESULT st = 0;
        Send(c.hwnd, TB_GETSTATE, static_cast<WPARAM>(c.id), 0, &st);
        if (!(st & TBSTATE_ENABLED)) return Fail(kRefused, "tool button is disabled");
        HWND parent = GetParent(c.hwnd);
        PostMessageW(parent ? parent : c.hwnd, WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(c.hwnd));
        return kOk;
    }
    // A user cannot click a disabled control; neither do we.
    if (!IsWindowEnabled(c.hwnd)) return Fail(kRefused, "control is disabled");
    if (IsClass(c.hwnd, WC_BUTTONW)) {
        PostMessageW(c.hwnd, BM_CLICK, 0, 0);
    } else {
        PostMessageW(GetParent(c.hwnd), WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(c.hwnd));
    }
    return kOk;
}

// A page control steps to the page with the arrow keys, as from the keyboard:
// it tells its parent itself, in its own process.
int SelectTab(HWND tabs, long index) {
    LRESULT count = 0, now = -1;
    if (!Send(tabs, TCM_GETITEMCOUNT, 0, 0, &count)) return kTimeout;
    if (index < 0 || index >= count) return Fail(kRefused, "no such page");
    for (LRESULT step = 0; step <= count; ++step) {
        if (!Send(tabs, TCM_GETCURSEL, 0, 0, &now)) return kTimeout;
        if (now == index) return kOk;
        const WPARAM key = now < index ? VK_RIGHT : VK_LEFT;
        Send(tabs, WM_KEYDOWN, key, 0);
        Send(tabs, WM_KEYUP, key, 0);
    }
    return Fail(kRefused, "the page did not change");
}

int CmdSelect(const char* name, const char* index_text) {
    TopWindows t;
    Target c;
    if (int rc = Resolve(name, t, c)) return rc;
    char* end = nullptr;
    long index = strtol(index_text, &end, 10);
    if (!end || *end) return Fail(kUsage, "index must be a number");
    if (IsClass(c.hwnd, WC_TABCONTROLW)) return SelectTab(c.hwnd, index);
    if (!IsClass(c.hwnd, WC_COMBOBOXW)) return Fail(kRefused, "not a combo box or page control");
    LRESULT r = CB_ERR;
    if (!Send(c.hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0, &r)) return kTimeout;
    if (r == CB_ERR) return Fail(kRefused, "no such item");
    // CB_SETCURSEL sends no notification; the user's choice would.
    PostMessageW(GetParent(c.hwnd), WM_COMMAND, MAKEWPARAM(c.id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(c.hwnd));
    return kOk;
}

int CmdSet(const char* name, const char* value) {
    TopWindows t;
    Target c;
    if (int rc = Resolve(name, t, c)) return rc;
    if (c.tool_button) return Fail(kRefused, "cannot set a tool button");
    if (!IsWindowEnabled(c.hwnd)) return Fail(kRefused, "control is disabled");
    if (IsClass(c.hwnd, UPDOWN_CLASSW)) {
        char* end = nullptr;
        long pos = strtol(value, &end, 10);
        if (!end || *end) return Fail(kUsage, "position must be a number");
        if (!Send(c.hwnd, UDM_SETPOS32, 0, pos)) return kTimeout;
        LRESULT now = 0;
        Send(c.hwnd, UDM_GETPOS32, 0, 0, &now);
        // The arrows tell the parent through WM_VSCROLL (or WM_HSCROLL).
        bool horz = (GetWindowLongW(c.hwnd, GWL_STYLE) & UDS_HORZ) != 0;
        UINT msg = horz ? WM_HSCROLL : WM_VSCROLL;
        HWND parent = GetParent(c.hwnd);
        PostMessageW(parent, msg, MAKEWPARAM(SB_THUMBPOSITION, LOWORD(now)),
                     reinterpret_cast<LPARAM>(c.hwnd));
        PostMessageW(parent, msg, MAKEWPARAM(SB_ENDSCROLL, LOWORD(now)),
                     reinterpret_cast<LPARAM>(c.hwnd));
        OutLine(std::to_string(now));
        return kOk;
    }
    // WM_SETTEXT on an edit notifies the parent with EN_CHANGE by itself.
    std::wstring w = Wide(value);
    LRESULT ok = 0;
    if (!Send(c.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()), &ok)) return kTimeout;
    return ok ? kOk : Fail(kRefused, "WM_SETTEXT refused");
}

bool IsVisibleCaption(HWND h, const std::wstring& caption, bool any) {
    return (any || IsWindowVisible(h)) && CaptionOf(h) == caption;
}

int CmdExists(int argc, char** argv) {
    // exists NAME | exists --caption CAPTION [--any]
    if (argc >= 1 && strcmp(argv[0], "--caption") == 0) {
        if (argc < 2) return kUsage;
        bool any = argc >= 3 && strcmp(argv[2], "--any") == 0;
        std::wstring caption = Wide(argv[1]);
        TopWindows t = FindProgram();
        for (HWND h : t.all)
            if (IsVisibleCaption(h, caption, any)) return kOk;
        return kNo;
    }
    if (argc < 1) return kUsage;
    int id = IdOf(argv[0]);
    if (!id) return Fail(kUsage, "unknown control name");
    TopWindows t = FindProgram();
    if (t.all.empty()) return kNo;
    return FindControl(t, id).hwnd ? kOk : kNo;
}

HWND FindMessageBox(const TopWindows& t) {
    for (HWND h : t.all) {
        if (h == t.main || !IsWindowVisible(h)) continue;
        if (IsClass(h, L"#32770") && GetDlgItem(h, kMsgBoxTextId)) return h;
    }
    return nullptr;
}

int CmdMsgBox(bool close, const char* button) {
    TopWindows t = FindProgram();
    HWND box = FindMessageBox(t);
    if (!box) return kNo;
    if (!close) {
        OutLine(Utf8(CaptionOf(box)));
        OutLine(Utf8(TextOf(GetDlgItem(box, kMsgBoxTextId))));
        return g_timed_out ? kTimeout : kOk;
    }
    int id = 0;
    if (button) {
        id = atoi(button);
    } else {
        for (int candidate : {IDOK, IDCANCEL, IDNO, IDYES})
            if (GetDlgItem(box, candidate)) {
                id = candidate;
                break;
            }
    }
    if (!id) return Fail(kRefused, "no button to press");
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    return kOk;
}

// save-as CAPTION PATH: types PATH as the file name of the program's file
// dialog captioned CAPTION and confirms it, as a user would.
int CmdSaveAs(const char* caption, const char* path) {
    TopWindows t = FindProgram();
    const std::wstring wanted = Wide(caption);
    for (HWND h : t.all) {
        if (!IsVisibleCaption(h, wanted, false)) continue;
        HWND name = GetDlgItem(h, edt1);
        if (!name) name = GetDlgItem(h, cmb13);
        if (!name) return Fail(kNotFound, "no file name field");
        std::wstring w = Wide(path);
        if (!Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()))) return kTimeout;
        PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(h, IDOK)));
        return kOk;
    }
    return Fail(kNotFound, "no such dialog");
}

int CmdClose() {
    TopWindows t = FindProgram();
    if (!t.main) return Fail(kNotFound, "Veltrano window not found");
    PostMessageW(t.main, WM_CLOSE, 0, 0);
    return kOk;
}

int CmdSend(const char* msg, const char* wp, const char* lp) {
    TopWindows t = FindProgram();
    if (!t.main) return Fail(kNotFound, "Veltrano window not found");
    UINT m = static_cast<UINT>(strtoul(msg, nullptr, 0));
    WPARAM w = static_cast<WPARAM>(strtoull(wp, nullptr, 0));
    LPARAM l = static_cast<LPARAM>(strtoll(lp, nullptr, 0));
    LRESULT r = 0;
    if (!Send(t.main, m, w, l, &r)) return Fail(kTimeout, "no answer in time");
    OutLine(std::to_string(static_cast<long long>(r)));
    return kOk;
}

// --- the notification icon ---------------------------------------------------

UINT_PTR Prop(HWND h, const char* name) { return reinterpret_cast<UINT_PTR>(GetPropA(h, name)); }

int CmdTray() {
    TopWindows t = FindProgram();
    if (!t.main) return Fail(kNotFound, "Veltrano window not found");
    char line[160];
    snprintf(line, sizeof line, "window=%d icon=%u version=%u picture=%u balloons=%u",
             IsWindowVisible(t.main) ? 1 : 0, static_cast<unsigned>(Prop(t.main, velt::ui::kTrayPropIcon)),
             static_cast<unsigned>(Prop(t.main, velt::ui::kTrayPropVersion)),
             static_cast<unsigned>(Prop(t.main, velt::ui::kTrayPropPicture)),
             static_cast<unsigned>(Prop(t.main, velt::ui::kTrayPropBalloons)));
    OutLine(line);
    return kOk;
}

// Posts a click on the icon the way the shell does for the version the icon
// was given: version 4 puts the event and the icon id in lParam and the
// cursor in wParam, and follows the buttons with NIN_SELECT or WM_CONTEXTMENU;
// version 0 sends the id in wParam and the mouse message as lParam.
// Posted: the menu that a right click opens keeps the window's thread busy.
void PostTrayClick(HWND main, bool right) {
    const bool v4 = Prop(main, velt::ui::kTrayPropVersion) >= 4;
    const UINT down = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    const UINT up = right ? WM_RBUTTONUP : WM_LBUTTONUP;
    const UINT then = right ? WM_CONTEXTMENU : NIN_SELECT;
    POINT at{};
    GetCursorPos(&at);
    for (UINT event : {down, up, then}) {
        if (event == then && !v4) break;
        const WPARAM wp = v4 ? MAKEWPARAM(at.x, at.y) : velt::ui::kTrayIconId;
        const LPARAM lp = v4 ? MAKELPARAM(event, velt::ui::kTrayIconId) : event;
        PostMessageW(main, velt::ui::kTrayMessage, wp, lp);
    }
}

int CmdTrayClick() {
    TopWindows t = FindProgram();
    if (!t.main) return Fail(kNotFound, "Veltrano window not found");
    PostTrayClick(t.main, false);
    return kOk;
}

struct MenuSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindPopupMenu(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<MenuSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == s->pid && IsWindowVisible(h) && IsClass(h, L"#32768")) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

// tray-menu INDEX: right-clicks the icon, waits for its menu and picks the
// INDEXth item (separators not counted) with the keyboard, as a user could:
// the first Down selects the first item, each further one the next.
int CmdTrayMenu(const char* index_text) {
    char* end = nullptr;
    const long index = strtol(index_text, &end, 10);
    if (!end || *end || index < 0) return Fail(kUsage, "index must be a number");
    TopWindows t = FindProgram();
    if (!t.main) return Fail(kNotFound, "Veltrano window not found");
    PostTrayClick(t.main, true);
    MenuSearch s{t.pid, nullptr};
    const DWORD deadline = GetTickCount() + g_timeout_ms;
    for (;;) {
        EnumWindows(FindPopupMenu, reinterpret_cast<LPARAM>(&s));
        if (s.found) break;
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return Fail(kTimeout, "no menu opened");
        Sleep(50);
    }
    for (long i = 0; i <= index; ++i) PostMessageW(s.found, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(s.found, WM_KEYDOWN, VK_RETURN, 0);
    return kOk;
}

std::string Escaped(const std::wstring& w, size_t limit) {
    std::string s = Utf8(w.substr(0, limit));
    std::string out;
    for (char ch : s) {
        if (ch == '\r') out += "\\r";
        else if (ch == '\n') out += "\\n";
        else out += ch;
    }
    if (w.size() > limit) out += "...";
    return out;
}

BOOL CALLBACK ListChild(HWND h, LPARAM) {
    int id = GetDlgCtrlID(h);
    char line[160];
    snprintf(line, sizeof line, "  %-14s %5d %-22s en=%d vis=%d ", NameOf(id), id,
             Utf8(ClassOf(h)).c_str(), IsWindowEnabled(h) ? 1 : 0, IsWindowVisible(h) ? 1 : 0);
    OutLine(line + Escaped(TextOf(h), 80));
    return TRUE;
}

int CmdList() {
    TopWindows t = FindProgram();
    if (t.all.empty()) return Fail(kNotFound, "Veltrano window not found");
    for (HWND top : t.all) {
        char line[200];
        snprintf(line, sizeof line, "window %p pid=%lu class=%s visible=%d caption=",
                 static_cast<void*>(top), static_cast<unsigned long>(t.pid),
                 Utf8(ClassOf(top)).c_str(), IsWindowVisible(top) ? 1 : 0);
        OutLine(line + Escaped(CaptionOf(top), 80));
        EnumChildWindows(top, ListChild, 0);
    }
    return kOk;
}

int Usage() {
    fputs(
        "usage: uiprobe [--timeout MS] COMMAND\n"
        "  get NAME | state NAME | click NAME | select NAME INDEX | set NAME VALUE\n"
        "  exists NAME | exists --caption CAPTION [--any]\n"
        "  msgbox | msgbox-close [ID] | close | send MSG WPARAM LPARAM | list\n"
        "  save-as CAPTION PATH\n"
        "  tray | tray-click | tray-menu INDEX\n",
        stderr);
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    int i = 1;
    if (i + 1 < argc && strcmp(argv[i], "--timeout") == 0) {
        g_timeout_ms = static_cast<UINT>(strtoul(argv[i + 1], nullptr, 10));
        i += 2;
    }
    if (i >= argc) return Usage();
    const char* cmd = argv[i];
    int n = argc - i - 1;
    char** rest = argv + i + 1;
    int rc = kUsage;
    if (!strcmp(cmd, "get") && n == 1) rc = CmdGet(rest[0]);
    else if (!strcmp(cmd, "state") && n == 1) rc = CmdState(rest[0]);
    else if (!strcmp(cmd, "click") && n == 1) rc = CmdClick(rest[0]);
    else if (!strcmp(cmd, "select") && n == 2) rc = CmdSelect(rest[0], rest[1]);
    else if (!strcmp(cmd, "set") && n == 2) rc = CmdSet(rest[0], rest[1]);
    else if (!strcmp(cmd, "exists")) rc = CmdExists(n, rest);
    else if (!strcmp(cmd, "msgbox") && n == 0) rc = CmdMsgBox(false, nullptr);
    else if (!strcmp(cmd, "msgbox-close") && n <= 1) rc = CmdMsgBox(true, n ? rest[0] : nullptr);
    else if (!strcmp(cmd, "close") && n == 0) rc = CmdClose();
    else if (!strcmp(cmd, "save-as") && n == 2) rc = CmdSaveAs(rest[0], rest[1]);
    else if (!strcmp(cmd, "send") && n == 3) rc = CmdSend(rest[0], rest[1], rest[2]);
    else if (!strcmp(cmd, "list") && n == 0) rc = CmdList();
    else if (!strcmp(cmd, "tray") && n == 0) rc = CmdTray();
    else if (!strcmp(cmd, "tray-click") && n == 0) rc = CmdTrayClick();
    else if (!strcmp(cmd, "tray-menu") && n == 1) rc = CmdTrayMenu(rest[0]);
    else {
        return Usage();
    }
    fflush(stdout);
    return rc;
}
