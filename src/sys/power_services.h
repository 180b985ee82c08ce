#pragma once
// Power services seam: the optional power-management entry points, the shutdown
// privilege and the system shutdown call. Each query gives "absent" when its
// entry point was not found at start-up, so callers can leave its controls alone.
#include <optional>
#include <string>

namespace velt {

class IPowerServices {
public:
    virtual ~IPowerServices() = default;

    // IsPwrSuspendAllowed, IsPwrHibernateAllowed, IsPwrShutdownAllowed; none
    // when the entry point was not found (it is then not called).
    virtual std::optional<bool> IsSuspendAllowed() = 0;
    virtual std::optional<bool> IsHibernateAllowed() = 0;
    virtual std::optional<bool> IsShutdownAllowed() = 0;

    virtual bool HasSetSuspendState() const = 0;
    // SetSuspendState(hibernate, forceCritical, wake events left enabled).
    // Returns once the system has resumed, or at once when it refused.
    virtual bool SetSuspendState(bool hibernate, bool forceCritical) = 0;

    // Enables the shutdown privilege on the own process token. False when the
    // token cannot be opened, the privilege cannot be looked up, or the
    // adjustment did not assign it (the user does not hold it).
    virtual bool EnableShutdownPrivilege() = 0;

    // Powers the computer off; `force` closes programs without asking them.
    // On failure `errorText` holds the system's description.
    virtual bool PowerOff(bool force, std::string& errorText) = 0;

    // Asks for power-scheme changes as power broadcasts to the main window.
    // False when the entry point is absent or the registration failed; a second
    // call keeps the first registration.
    virtual bool RegisterPowerSchemeNotification() = 0;
};

}  // namespace velt
