#include "app/service_control.h"

namespace velt {

ServiceControl::ServiceControl(IServiceStatusSink& sink, IServiceHost& host, const IClock& clock,
                               ServiceOptions options)
    : sink_(sink), host_(host), clock_(clock), options_(options) {}

bool ServiceControl::BeginStart() {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::NotStarted) return true;
    EnterPhase(Phase::Starting, ServiceState::StartPending, options_.timings.startWaitHintMs);
    return ReportLocked();
}

void ServiceControl::Started() {
    std::lock_guard lock(mutex_);
    if (phase_ != Phase::Starting) return;
    EnterPhase(Phase::Running, ServiceState::Running, 0);
    ReportLocked();
}

void ServiceControl::Ended(ServiceExit exit) {
    std::lock_guard lock(mutex_);
    if (phase_ == Phase::Ended) return;
    EnterPhase(Phase::Ended, ServiceState::Stopped, 0);
    status_.win32ExitCode = exit.win32ExitCode;
    status_.serviceExitCode = exit.serviceExitCode;
    ReportLocked();
}

void ServiceControl::Tick() {
    // Read before the lock: the host is never called under it.
    const bool actionRuns = host_.ActionUnderWay();
    bool beginStop = false;
    {
        std::lock_guard lock(mutex_);
        const uint64_t now = clock_.MonotonicMs();
        if (phase_ == Phase::StopHeld && (!actionRuns || !WithinBound(now))) {
            // The same stop goes on: its check points keep rising.
            phase_ = Phase::Stopping;
            phaseStartMs_ = now;
            beginStop = true;
        }
        if (WithinBound(now)) {
            ++status_.checkPoint;
            ReportLocked();
        }
    }
    if (beginStop) host_.BeginStop();
}

ControlResult ServiceControl::Handle(const ServiceControlRequest& request) {
    switch (request.code) {
    case ServiceControlCode::Stop:
    case ServiceControlCode::Shutdown:
    case ServiceControlCode::Preshutdown:
        return HandleStop(request.code);
    case ServiceControlCode::Interrogate:
        return HandleInterrogate();
    case ServiceControlCode::ParamChange:
        return HandleParamChange();
    case ServiceControlCode::PowerEvent:
        return HandlePowerEvent(request.powerEvent);
    case ServiceControlCode::Other:
        break;
    }
    return ControlResult::NotImplemented;
}

ServiceStatus ServiceControl::Current() const {
    std::lock_guard lock(mutex_);
    return status_;
}

ControlResult ServiceControl::HandleStop(ServiceControlCode code) {
    if (code == ServiceControlCode::Preshutdown && !options_.acceptPreshutdown) return ControlResult::NotImplemented;
    const bool actionRuns = host_.ActionUnderWay();
    bool beginStop = false;
    {
        std::lock_guard lock(mutex_);
        // A stop while stopping, or once ended, only reports the state again.
        if (phase_ == Phase::Starting || phase_ == Phase::Running) {
            beginStop = !actionRuns;
            EnterPhase(beginStop ? Phase::Stopping : Phase::StopHeld, ServiceState::StopPending,
                       options_.timings.stopWaitHintMs);
        }
        ReportLocked();
    }
    if (beginStop) host_.BeginStop();
    return ControlResult::NoError;
}

ControlResult ServiceControl::HandleInterrogate() {
    std::lock_guard lock(mutex_);
    ReportLocked();
    return ControlResult::NoError;
}

ControlResult ServiceControl::HandleParamChange() {
    bool running = false;
    {
        std::lock_guard lock(mutex_);
        running = phase_ == Phase::Running;
    }
    // Before the start has ended the settings are being read anyway; once a
    // stop has come they are being saved.
    if (running) host_.Reload();
    return ControlResult::NoError;
}

ControlResult ServiceControl::HandlePowerEvent(PowerEventCode event) {
    bool live = false;
    {
        std::lock_guard lock(mutex_);
        live = HostLive();
    }
    // Also while a stop is held for an action: a resume must still give back
    // what the suspend took.
    if (live) host_.PowerEvent(event);
    return ControlResult::NoError;
}

void ServiceControl::EnterPhase(Phase phase, ServiceState state, uint32_t waitHintMs) {
    phase_ = phase;
    phaseStartMs_ = clock_.MonotonicMs();
    const bool pending = state == ServiceState::StartPending || state == ServiceState::StopPending;
    status_ = ServiceStatus{};
    status_.state = state;
    status_.controls = phase == Phase::Running ? RunningControls() : AcceptedControls{};
    status_.waitHintMs = waitHintMs;
    status_.checkPoint = pending ? 1 : 0;
}

bool ServiceControl::WithinBound(uint64_t nowMs) const {
    uint32_t limitMs = 0;
    switch (phase_) {
    case Phase::Starting: limitMs = options_.timings.startLimitMs; break;
    case Phase::StopHeld: limitMs = options_.timings.actionLimitMs; break;
    case Phase::Stopping: limitMs = options_.timings.stopLimitMs; break;
    default: return false;
    }
    return nowMs - phaseStartMs_ < limitMs;
}

AcceptedControls ServiceControl::RunningControls() const {
    AcceptedControls c;
    c.stop = true;
    c.shutdown = true;
    c.preshutdown = options_.acceptPreshutdown;
    c.powerEvent = true;
    c.paramChange = true;
    return c;
}

}  // namespace velt
