#include "sys/win32/win_power_services.h"

#include "sys/win32/system_error_text.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

namespace {

// GUID_POWERSCHEME_PERSONALITY: changes of the active power scheme.
const GUID kPowerSchemePersonality = {
    0x245D8541, 0x3943, 0x4422, {0xB0, 0x25, 0x13, 0xA7, 0x84, 0xF6, 0x79, 0xB7}};

constexpr DWORD kNotifyWindowHandle = 0;  // DEVICE_NOTIFY_WINDOW_HANDLE

}  // namespace

WinPowerServices::WinPowerServices(HWND window, PowerOffPath path)
    : window_(window),
      path_(path),
      setSuspendState_(powrprof_.Find<SetSuspendStateFn>("SetSuspendState")),
      isSuspendAllowed_(powrprof_.Find<QueryFn>("IsPwrSuspendAllowed")),
      isHibernateAllowed_(powrprof_.Find<QueryFn>("IsPwrHibernateAllowed")),
      isShutdownAllowed_(powrprof_.Find<QueryFn>("IsPwrShutdownAllowed")),
      register_(user32_.Find<RegisterFn>("RegisterPowerSettingNotification")),
      unregister_(user32_.Find<UnregisterFn>("UnregisterPowerSettingNotification")) {}

WinPowerServices::~WinPowerServices() {
    if (registration_ && unregister_) unregister_(registration_);
}

std::optional<bool> WinPowerServices::Ask(QueryFn query) {
    if (!query) return std::nullopt;
    return query() != FALSE;
}

std::optional<bool> WinPowerServices::IsSuspendAllowed() { return Ask(isSuspendAllowed_); }
std::optional<bool> WinPowerServices::IsHibernateAllowed() { return Ask(isHibernateAllowed_); }
std::optional<bool> WinPowerServices::IsShutdownAllowed() { return Ask(isShutdownAllowed_); }

bool WinPowerServices::SetSuspendState(bool hibernate, bool forceCritical) {
    if (!setSuspendState_) return false;
    return setSuspendState_(hibernate ? TRUE : FALSE, forceCritical ? TRUE : FALSE, FALSE) != FALSE;
}

// AdjustTokenPrivileges succeeds even when it assigns nothing; only the last
// error (ERROR_NOT_ALL_ASSIGNED) tells that the user lacks the privilege.
bool WinPowerServices::EnableShutdownPrivilege() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
        return false;
    const Handle token(raw);
    TOKEN_PRIVILEGES privileges{};
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
        return false;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    ::SetLastError(ERROR_SUCCESS);
    const BOOL adjusted = ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    return adjusted && ::GetLastError() == ERROR_SUCCESS;
}

bool WinPowerServices::PowerOff(bool force, std::string& errorText) {
    if (path_ == PowerOffPath::SystemShutdown) {
        constexpr DWORD kReason = SHTDN_REASON_MAJOR_POWER | SHTDN_REASON_MINOR_ENVIRONMENT | SHTDN_REASON_FLAG_PLANNED;
        if (::InitiateSystemShutdownExA(nullptr, nullptr, 0, force, FALSE, kReason)) return true;
        errorText = LastErrorText();
        return false;
    }
    const UINT flags = EWX_POWEROFF | (force ? EWX_FORCE : 0u);
    if (::ExitWindowsEx(flags, 0)) return true;
    errorText = LastErrorText();
    return false;
}

bool WinPowerServices::RegisterPowerSchemeNotification() {
    if (registration_) return true;
    if (!register_) return false;
    registration_ = register_(window_, &kPowerSchemePersonality, kNotifyWindowHandle);
    return registration_ != nullptr;
}

}  // namespace velt::win
