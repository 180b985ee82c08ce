// Program entry: single instance, the main window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/command_line.h"
#include "ui/win32/main_window.h"
#include "ui/win32/single_instance.h"

namespace {

int RunMessageLoop(HWND mainWindow) {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (mainWindow && ::IsWindow(mainWindow) && ::IsDialogMessageA(mainWindow, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdLine, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    // A second copy ends here silently, before it shows or touches anything.
    auto mutexes = velt::ui::ClaimSingleInstance();
    if (!mutexes) return 0;

    const auto params = velt::CommandLineParams(cmdLine ? cmdLine : "");
    velt::ui::MainWindow window(inst, *mutexes);
    // A system that does not qualify ends the program here, silently.
    if (!window.Create(velt::WithoutShowSwitch(params), velt::HasShowSwitch(params))) return 0;
    return RunMessageLoop(window.Handle());
}
