#include "sys/win32/event_log_source.h"

#include "sys/win32/registry_store.h"

namespace velt::win {
namespace {

constexpr DWORD kTypesSupported = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;

std::wstring KeyPath(const std::wstring& name) {
    return L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\" + name;
}

LONG SetValues(HKEY key, const std::wstring& exePath) {
    const auto* path = reinterpret_cast<const BYTE*>(exePath.c_str());
    const DWORD pathBytes = static_cast<DWORD>((exePath.size() + 1) * sizeof(wchar_t));
    const LONG rc = ::RegSetValueExW(key, L"EventMessageFile", 0, REG_EXPAND_SZ, path, pathBytes);
    if (rc != ERROR_SUCCESS) return rc;
    const DWORD types = kTypesSupported;
    return ::RegSetValueExW(key, L"TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types), sizeof types);
}

// The registry's functions give their error instead of setting the last one.
ServiceStep RegistryStep(const std::string& operation, LONG rc) {
    ::SetLastError(static_cast<DWORD>(rc));
    return LastErrorStep(operation);
}

}  // namespace

ServiceStep RegisterEventLogSource(const std::wstring& name, const std::wstring& exePath) {
    HKEY raw = nullptr;
    const LONG rc = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (rc != ERROR_SUCCESS) return RegistryStep("Registering the event log source", rc);
    const RegKey key(raw);
    const LONG written = SetValues(key.get(), exePath);
    if (written != ERROR_SUCCESS) return RegistryStep("Writing the event log source's values", written);
    return {};
}

ServiceStep RemoveEventLogSource(const std::wstring& name) {
    const LONG rc = ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, KeyPath(name).c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return {};
    return RegistryStep("Removing the event log source", rc);
}

}  // namespace velt::win
