#pragma once
// Starting and stopping an installed service, each waiting a bounded time for
// the state the step asked for.
#include <windows.h>

#include "sys/win32/service_handle.h"

namespace velt::win {

// Starts `service` (opened with SERVICE_START and SERVICE_QUERY_STATUS) and
// waits at most `timeoutMs` for it to run. One that runs already counts as
// started.
ServiceStep StartService(SC_HANDLE service, DWORD timeoutMs);

// Asks `service` (opened with SERVICE_STOP and SERVICE_QUERY_STATUS) to stop
// and waits at most `timeoutMs` for it to have stopped. One that is stopped
// already counts as stopped.
ServiceStep StopService(SC_HANDLE service, DWORD timeoutMs);

// True when the service `name` runs now; false when it is stopped, not
// installed, or the manager will not say (what any user may ask).
bool ServiceRunning(const wchar_t* name);

// Sends `control` to the service `name`, opened with `access`; false when
// the manager or the service refuses.
bool TellService(const wchar_t* name, DWORD control, DWORD access);

}  // namespace velt::win
