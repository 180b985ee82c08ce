#include "sys/win32/service_handle.h"

#include "sys/win32/system_error_text.h"

namespace velt::win {

ServiceStep LastErrorStep(const std::string& operation) {
    if (::GetLastError() == ERROR_ACCESS_DENIED) {
        return StepFailed(operation + ": access denied; run it as an administrator (an elevated command prompt)");
    }
    return StepFailed(LastErrorText(operation));
}

ScHandle OpenServiceManager(DWORD access, ServiceStep& step) {
    ScHandle manager(::OpenSCManagerW(nullptr, nullptr, access));
    if (!manager) step = LastErrorStep("Opening the service control manager");
    return manager;
}

}  // namespace velt::win
