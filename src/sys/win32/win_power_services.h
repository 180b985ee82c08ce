#pragma once
// Power services through powrprof.dll and user32.dll, both bound by name at
// start-up so a missing entry point only clears its found-flag, and
// ExitWindowsEx with the shutdown privilege (advapi32).
#include <windows.h>

#include "sys/win32/loaded_module.h"

#include "sys/power_services.h"

namespace velt::win {

// How the computer is powered off: a logged-on user's program ends the
// session; a service, which has no session to end, asks for a system shutdown
// with a power-failure reason.
enum class PowerOffPath { EndSession, SystemShutdown };

class WinPowerServices final : public IPowerServices {
public:
    // `window` receives the power-scheme broadcasts once registered.
    explicit WinPowerServices(HWND window, PowerOffPath path = PowerOffPath::EndSession);
    ~WinPowerServices() override;  // ends the registration before the libraries go
    WinPowerServices(const WinPowerServices&) = delete;
    WinPowerServices& operator=(const WinPowerServices&) = delete;

    std::optional<bool> IsSuspendAllowed() override;
    std::optional<bool> IsHibernateAllowed() override;
    std::optional<bool> IsShutdownAllowed() override;
    bool HasSetSuspendState() const override { return setSuspendState_ != nullptr; }
    bool SetSuspendState(bool hibernate, bool forceCritical) override;
    bool EnableShutdownPrivilege() override;
    bool PowerOff(bool force, std::string& errorText) override;
    bool RegisterPowerSchemeNotification() override;

private:
    using QueryFn = BOOLEAN(WINAPI*)();
    using SetSuspendStateFn = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
    using RegisterFn = void*(WINAPI*)(HANDLE, const GUID*, DWORD);
    using UnregisterFn = BOOL(WINAPI*)(void*);

    static std::optional<bool> Ask(QueryFn query);

    HWND window_;
    PowerOffPath path_;
    LoadedModule powrprof_{"powrprof.dll"};
    LoadedModule user32_{"user32.dll"};
    SetSuspendStateFn setSuspendState_;
    QueryFn isSuspendAllowed_, isHibernateAllowed_, isShutdownAllowed_;
    RegisterFn register_;
    UnregisterFn unregister_;
    void* registration_ = nullptr;
};

}  // namespace velt::win
