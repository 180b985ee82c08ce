#pragma once
// veltrano.exe /service: the monitor as the Windows service "Veltrano", with
// no window, no notification icon and no dialog.
#include <windows.h>

namespace velt::ui {

inline constexpr wchar_t kServiceName[] = L"Veltrano";

// Hands the process to the service control manager and returns when the
// service has stopped: 0, or the system's error code when the process was
// not started by the manager.
int RunService(HINSTANCE inst);

}  // namespace velt::ui
