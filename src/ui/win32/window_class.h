#pragma once
// This program's window classes: each with the arrow pointer, each registered
// once per process. Main thread only.
#include <windows.h>

#include <optional>

namespace velt::ui {

struct WindowClass {
    const char* name;
    WNDPROC proc;
    HINSTANCE instance;
    int extraBytes = 0;           // per window, read with GetWindowLongPtr
    std::optional<int> background = std::nullopt;  // a system colour (COLOR_*); none: the window paints all of itself
    HICON icon = nullptr, smallIcon = nullptr;
};

// A class registered before counts as registered; false on failure.
bool RegisterWindowClass(const WindowClass& c);

}  // namespace velt::ui
