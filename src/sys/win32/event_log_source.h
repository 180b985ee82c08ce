#pragma once
// The service's source in the Application event log: the key under
// HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application that points
// Event Viewer at the message table in the exe.
#include <string>

#include "sys/win32/service_handle.h"

namespace velt::win {

// Writes (or rewrites) the source `name` with `exePath` as its message file,
// for information, warning and error entries. Needs an administrator.
ServiceStep RegisterEventLogSource(const std::wstring& name, const std::wstring& exePath);

// Deletes the source's key; a missing key counts as deleted.
ServiceStep RemoveEventLogSource(const std::wstring& name);

}  // namespace velt::win
