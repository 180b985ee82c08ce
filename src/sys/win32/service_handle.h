#pragma once
// Handles of the service control manager, owned; the manager opened with its
// refusal told in words an administrator can act on.
#include <windows.h>

#include <string>

#include "sys/win32/win_handle.h"

namespace velt::win {

struct ScHandleTraits {
    using Type = SC_HANDLE;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::CloseServiceHandle(h); }
};
using ScHandle = UniqueHandle<ScHandleTraits>;

// How one step of setting the service up or down ended; `why` is one line.
struct ServiceStep {
    bool ok = true;
    std::string why;
};

inline ServiceStep StepFailed(std::string why) { return {false, std::move(why)}; }

// GetLastError() after `operation` failed, as one line; a refused access says
// that the step needs an administrator.
ServiceStep LastErrorStep(const std::string& operation);

// Null when the manager refuses; `step` then says why.
ScHandle OpenServiceManager(DWORD access, ServiceStep& step);

}  // namespace velt::win
