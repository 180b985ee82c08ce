#pragma once
// The service's status reports through SetServiceStatus, on the status handle
// that registering its control handler gives. The manager frees that handle
// itself once the service has reported Stopped; it is never closed here.
#include <windows.h>

#include <atomic>

#include "sys/service_status.h"

namespace velt::win {

// The record as the system takes it: a service in a process of its own.
SERVICE_STATUS ToWin32Status(const ServiceStatus& status);

class WinServiceStatus final : public IServiceStatusSink {
public:
    // Registers `handler` with `context` for the service `name`. It then runs
    // on the control dispatcher's thread. Registered() is false when the
    // process was not started by the manager as that service.
    WinServiceStatus(const wchar_t* name, LPHANDLER_FUNCTION_EX handler, void* context);
    WinServiceStatus(const WinServiceStatus&) = delete;
    WinServiceStatus& operator=(const WinServiceStatus&) = delete;

    bool Registered() const { return handle_ != nullptr; }
    // For the power setting notifications a service asks for with it.
    SERVICE_STATUS_HANDLE Handle() const { return handle_; }
    // The system's error code of the failed registration or last refused report.
    DWORD LastError() const { return lastError_.load(); }

    // Any thread.
    bool Report(const ServiceStatus& status) override;

private:
    SERVICE_STATUS_HANDLE handle_ = nullptr;
    std::atomic<DWORD> lastError_{ERROR_SUCCESS};
};

}  // namespace velt::win
