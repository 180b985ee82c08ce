// Program entry: single instance, the main window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/command_line.h"
#include "app/system_identity.h"
#include "sys/win32/system_entry_points.h"
#include "sys/win32/win_system_info.h"
#include "ui/win32/main_window.h"
#include "ui/win32/service_commands.h"
#include "ui/win32/service_host.h"
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

// Asked with kernel32's entry points alone: nothing else is loaded for it.
bool SystemQualifies() {
    velt::win::SystemEntryPoints kernel32;
    kernel32.LoadKernel32();
    return velt::MeetsSystemRequirement(velt::win::WinSystemInfo(kernel32).OsVersion());
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmdLine, int) {
    const auto params = velt::CommandLineParams(cmdLine ? cmdLine : "");
    // Before the single-instance claim, so they work while the window runs.
    if (const auto code = velt::ui::RunServiceCommand(params)) return *code;
    // The service runs in a session of its own, beside any window.
    if (velt::HasServiceSwitch(params)) return velt::ui::RunService(inst);
    // A second copy ends here silently, before it shows or touches anything.
    auto mutexes = velt::ui::ClaimSingleInstance();
    if (!mutexes) return 0;
    // So does a system that does not qualify: no window, no notification icon,
    // no library of the LAN messages. FormCreate asks the same again.
    if (!SystemQualifies()) return 0;

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    velt::ui::MainWindow window(inst, *mutexes);
    if (!window.Create(velt::WithoutShowSwitch(params), velt::HasShowSwitch(params))) return 0;
    return RunMessageLoop(window.Handle());
}
