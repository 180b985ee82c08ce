#include "sys/win32/service_state.h"

namespace velt::win {
namespace {

constexpr DWORD kPollMs = 250;

bool QueryState(SC_HANDLE service, SERVICE_STATUS_PROCESS& status) {
    DWORD needed = 0;
    return ::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                                  &needed) != FALSE;
}

// Polls until `done` holds for the service's state, at most `timeoutMs`;
// gives the last state read.
SERVICE_STATUS_PROCESS WaitUntil(SC_HANDLE service, DWORD timeoutMs, bool (*done)(DWORD state)) {
    SERVICE_STATUS_PROCESS status{};
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (QueryState(service, status) && !done(status.dwCurrentState) && ::GetTickCount64() < deadline) {
        ::Sleep(kPollMs);
    }
    return status;
}

bool StartSettled(DWORD state) { return state != SERVICE_START_PENDING; }
bool Stopped(DWORD state) { return state == SERVICE_STOPPED; }

std::string Seconds(DWORD ms) { return std::to_string(ms / 1000) + " s"; }

// The code a service that ended gave, as the manager tells it.
std::string ExitCodeText(const SERVICE_STATUS_PROCESS& status) {
    const DWORD code = status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR ? status.dwServiceSpecificExitCode
                                                                              : status.dwWin32ExitCode;
    return "exit code " + std::to_string(code);
}

ServiceStep Started(SC_HANDLE service, DWORD timeoutMs) {
    const SERVICE_STATUS_PROCESS status = WaitUntil(service, timeoutMs, &StartSettled);
    switch (status.dwCurrentState) {
        case SERVICE_RUNNING: return {};
        case SERVICE_START_PENDING: return StepFailed("The service did not report running within " + Seconds(timeoutMs));
        default: return StepFailed("The service ended as it started (" + ExitCodeText(status) + ")");
    }
}

}  // namespace

// The manager refuses a start while it starts another service (at boot, or
// a driver): that passes, so the start is tried again within the bound.
ServiceStep StartService(SC_HANDLE service, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!::StartServiceW(service, 0, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SERVICE_ALREADY_RUNNING) break;
        if (error != ERROR_SERVICE_DATABASE_LOCKED || ::GetTickCount64() >= deadline) {
            return LastErrorStep("Starting the service");
        }
        ::Sleep(kPollMs);
    }
    return Started(service, timeoutMs);
}

namespace {

ScHandle OpenNamedService(const wchar_t* name, DWORD access) {
    const ScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return ScHandle();
    return ScHandle(::OpenServiceW(manager.get(), name, access));
}

}  // namespace

bool ServiceRunning(const wchar_t* name) {
    const ScHandle service = OpenNamedService(name, SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status{};
    return service && QueryState(service.get(), status) && status.dwCurrentState == SERVICE_RUNNING;
}

bool TellService(const wchar_t* name, DWORD control, DWORD access) {
    const ScHandle service = OpenNamedService(name, access);
    SERVICE_STATUS status{};
    return service && ::ControlService(service.get(), control, &status);
}

ServiceStep StopService(SC_HANDLE service, DWORD timeoutMs) {
    SERVICE_STATUS status{};
    if (!::ControlService(service, SERVICE_CONTROL_STOP, &status)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SERVICE_NOT_ACTIVE) return {};
        // A stop under way, or a service still starting: wait for the end all the same.
        if (error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL) return LastErrorStep("Stopping the service");
    }
    const SERVICE_STATUS_PROCESS last = WaitUntil(service, timeoutMs, &Stopped);
    if (last.dwCurrentState == SERVICE_STOPPED) return {};
    return StepFailed("The service did not stop within " + Seconds(timeoutMs));
}

}  // namespace velt::win
