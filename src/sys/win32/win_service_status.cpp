#include "sys/win32/win_service_status.h"

namespace velt::win {
namespace {

DWORD Win32State(ServiceState state) {
    switch (state) {
    case ServiceState::StartPending: return SERVICE_START_PENDING;
    case ServiceState::Running: return SERVICE_RUNNING;
    case ServiceState::StopPending: return SERVICE_STOP_PENDING;
    case ServiceState::Stopped: break;
    }
    return SERVICE_STOPPED;
}

DWORD Win32Controls(const AcceptedControls& controls) {
    DWORD accepted = 0;
    if (controls.stop) accepted |= SERVICE_ACCEPT_STOP;
    if (controls.shutdown) accepted |= SERVICE_ACCEPT_SHUTDOWN;
    if (controls.preshutdown) accepted |= SERVICE_ACCEPT_PRESHUTDOWN;
    if (controls.powerEvent) accepted |= SERVICE_ACCEPT_POWEREVENT;
    if (controls.paramChange) accepted |= SERVICE_ACCEPT_PARAMCHANGE;
    return accepted;
}

}  // namespace

SERVICE_STATUS ToWin32Status(const ServiceStatus& status) {
    SERVICE_STATUS s{};
    s.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    s.dwCurrentState = Win32State(status.state);
    s.dwControlsAccepted = Win32Controls(status.controls);
    s.dwWaitHint = status.waitHintMs;
    s.dwCheckPoint = status.checkPoint;
    // A code of the service's own is told as such; the system's code then
    // only says that there is one.
    if (status.serviceExitCode != 0) {
        s.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
        s.dwServiceSpecificExitCode = status.serviceExitCode;
    } else {
        s.dwWin32ExitCode = status.win32ExitCode;
    }
    return s;
}

WinServiceStatus::WinServiceStatus(const wchar_t* name, LPHANDLER_FUNCTION_EX handler, void* context)
    : handle_(::RegisterServiceCtrlHandlerExW(name, handler, context)) {
    if (handle_ == nullptr) lastError_ = ::GetLastError();
}

bool WinServiceStatus::Report(const ServiceStatus& status) {
    if (handle_ == nullptr) return false;
    SERVICE_STATUS s = ToWin32Status(status);
    if (::SetServiceStatus(handle_, &s)) return true;
    lastError_ = ::GetLastError();
    return false;
}

}  // namespace velt::win
