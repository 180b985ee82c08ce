#pragma once
// The service's entry in the service control manager: created, or brought up
// to date when it exists (a moved or newer exe), and deleted.
#include <windows.h>

#include <string>

#include "sys/win32/service_handle.h"

namespace velt::win {

struct ServiceDefinition {
    std::wstring name;
    std::wstring displayName;
    std::wstring description;
    // Run as "<exePath>" /service: own process, automatic start, LocalSystem.
    std::wstring exePath;
    // Restarted this long after each of its first two failures.
    DWORD restartDelayMs = 60 * 1000;
    // The failure count starts again after this long without a failure.
    DWORD failureResetSeconds = 24 * 60 * 60;
    // How long the system waits for its stop before shutting down.
    DWORD preshutdownTimeoutMs = 30 * 1000;
};

struct InstallOutcome {
    ServiceStep step;
    bool existed = false;  // an existing service was reconfigured
    // Kept open for its start: a second look-up right after creating it can
    // miss it under Wine's manager.
    ScHandle manager;
    ScHandle service;
};

// Needs an administrator. Everything the definition says is set, on a new
// service or an existing one alike; an existing one that runs keeps running.
InstallOutcome InstallService(const ServiceDefinition& def);

// Stops the service, waiting at most `stopTimeoutMs`, and deletes it. One
// that does not stop in time is still deleted: the manager removes it once
// it ends, and the step tells so.
ServiceStep RemoveService(const std::wstring& name, DWORD stopTimeoutMs);

}  // namespace velt::win
