#include "sys/win32/service_installer.h"

#include "sys/win32/service_state.h"

namespace velt::win {
namespace {

constexpr DWORD kFailureRestarts = 2;

std::wstring CommandLineOf(const ServiceDefinition& def) { return L"\"" + def.exePath + L"\" /service"; }

ScHandle CreateNew(SC_HANDLE manager, const ServiceDefinition& def) {
    const std::wstring command = CommandLineOf(def);
    return ScHandle(::CreateServiceW(manager, def.name.c_str(), def.displayName.c_str(), SERVICE_ALL_ACCESS,
                                     SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                     command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
}

// An existing service gets the same configuration a new one would.
bool Reconfigure(SC_HANDLE service, const ServiceDefinition& def) {
    const std::wstring command = CommandLineOf(def);
    return ::ChangeServiceConfigW(service, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                  command.c_str(), nullptr, nullptr, nullptr, L"LocalSystem", L"",
                                  def.displayName.c_str()) != FALSE;
}

bool SetDescription(SC_HANDLE service, const ServiceDefinition& def) {
    std::wstring text = def.description;
    SERVICE_DESCRIPTIONW info{text.data()};
    return ::ChangeServiceConfig2W(service, SERVICE_CONFIG_DESCRIPTION, &info) != FALSE;
}

bool SetFailureActions(SC_HANDLE service, const ServiceDefinition& def) {
    SC_ACTION actions[kFailureRestarts + 1] = {};
    for (DWORD i = 0; i < kFailureRestarts; ++i) actions[i] = {SC_ACTION_RESTART, def.restartDelayMs};
    actions[kFailureRestarts] = {SC_ACTION_NONE, 0};
    SERVICE_FAILURE_ACTIONSW info{};
    info.dwResetPeriod = def.failureResetSeconds;
    info.cActions = kFailureRestarts + 1;
    info.lpsaActions = actions;
    return ::ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS, &info) != FALSE;
}

bool SetPreshutdown(SC_HANDLE service, const ServiceDefinition& def) {
    SERVICE_PRESHUTDOWN_INFO info{def.preshutdownTimeoutMs};
    return ::ChangeServiceConfig2W(service, SERVICE_CONFIG_PRESHUTDOWN_INFO, &info) != FALSE;
}

ServiceStep ConfigureExtras(SC_HANDLE service, const ServiceDefinition& def) {
    if (!SetDescription(service, def)) return LastErrorStep("Setting the service's description");
    if (!SetFailureActions(service, def)) return LastErrorStep("Setting the service's failure actions");
    if (!SetPreshutdown(service, def)) return LastErrorStep("Setting the service's preshutdown time-out");
    return {};
}

// The existing service opened and reconfigured, or null with `step` set.
ScHandle OpenExisting(SC_HANDLE manager, const ServiceDefinition& def, ServiceStep& step) {
    ScHandle service(::OpenServiceW(manager, def.name.c_str(), SERVICE_ALL_ACCESS));
    if (!service) {
        step = LastErrorStep("Opening the existing service");
    } else if (!Reconfigure(service.get(), def)) {
        step = LastErrorStep("Reconfiguring the existing service");
        service.reset();
    }
    return service;
}

}  // namespace

InstallOutcome InstallService(const ServiceDefinition& def) {
    InstallOutcome out;
    out.manager = OpenServiceManager(SC_MANAGER_CREATE_SERVICE | SC_MANAGER_CONNECT, out.step);
    if (!out.manager) return out;
    out.service = CreateNew(out.manager.get(), def);
    if (!out.service && ::GetLastError() == ERROR_SERVICE_EXISTS) {
        out.existed = true;
        out.service = OpenExisting(out.manager.get(), def, out.step);
        if (!out.service) return out;
    } else if (!out.service) {
        out.step = LastErrorStep("Creating the service");
        return out;
    }
    out.step = ConfigureExtras(out.service.get(), def);
    return out;
}

ServiceStep RemoveService(const std::wstring& name, DWORD stopTimeoutMs) {
    ServiceStep step;
    const ScHandle manager = OpenServiceManager(SC_MANAGER_CONNECT, step);
    if (!manager) return step;
    const ScHandle service(::OpenServiceW(manager.get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service) {
        if (::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) return StepFailed("The service is not installed");
        return LastErrorStep("Opening the service");
    }
    const ServiceStep stopped = StopService(service.get(), stopTimeoutMs);
    if (!::DeleteService(service.get()) && ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
        return LastErrorStep("Deleting the service");
    }
    if (!stopped.ok) return StepFailed(stopped.why + "; it is deleted once it ends");
    return {};
}

}  // namespace velt::win
