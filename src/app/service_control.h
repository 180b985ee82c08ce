#pragma once
// The service's side of the service control manager: what each control does
// to the monitor and what the manager is told, from the start to the stop.
//
// Two threads call in. The manager's controls arrive on its dispatcher's
// thread (Handle); the start, the ticks and the end come from the monitor's
// side. Every report goes out under one lock, so the check points the manager
// sees never go back. The host is never called with that lock held.
//
// A stop that arrives while a power action runs (the external program's wait,
// the computer's shutdown) is held: the system's own shutdown sends it as part
// of that action, and stopping the monitor then would cut the action short.
// The manager is told StopPending at once and each tick raises the check point,
// so the wait hint stays alive; the host's stop begins when the action has
// ended, or when the action's bound has passed. A pending step past its own
// bound gets no more check points, so the manager sees a hung service rather
// than one that only claims progress.
#include <cstdint>
#include <mutex>

#include "sys/clock.h"
#include "sys/service_status.h"

namespace velt {

enum class ServiceControlCode { Stop, Shutdown, Preshutdown, Interrogate, PowerEvent, ParamChange, Other };

// The system's power event numbers, the same ones the window's power broadcast
// carries; a number not named here passes through as it came.
enum class PowerEventCode : uint32_t {
    Suspend = 0x0004,
    ResumeSuspend = 0x0007,
    PowerStatusChange = 0x000A,
    ResumeAutomatic = 0x0012,
};

struct ServiceControlRequest {
    ServiceControlCode code = ServiceControlCode::Other;
    PowerEventCode powerEvent{};  // for PowerEvent only
};

// What the system's control handler returns: taken, or a control it does not know.
enum class ControlResult { NoError, NotImplemented };

// Why the service ended; both 0 for a clean stop. See ServiceStatus.
struct ServiceExit {
    uint32_t win32ExitCode = 0;
    uint32_t serviceExitCode = 0;
};

// The monitor as the control handler drives it. Every call comes from the
// dispatcher's thread or the ticking one, never from the monitor's own: each
// must only post its work to the monitor's thread and return at once. Work
// done inline would hold the dispatcher, and with it every later control and
// the system's shutdown.
class IServiceHost {
public:
    virtual ~IServiceHost() = default;
    // Stop polling, save the settings, end the message loop; then tell the
    // handler with ServiceControl::Ended. Called once.
    virtual void BeginStop() = 0;
    // Read the settings again.
    virtual void Reload() = 0;
    // As the window's power broadcast is handled.
    virtual void PowerEvent(PowerEventCode event) = 0;
    // Whether a power action runs now; a flag read without waiting.
    virtual bool ActionUnderWay() const = 0;
};

struct ServiceTimings {
    uint32_t startWaitHintMs = 10000;
    uint32_t startLimitMs = 60000;
    // The host's stop ends within the worker's bound of 15 s.
    uint32_t stopWaitHintMs = 15000;
    // The worker's bound, then the servers closed and the settings saved.
    uint32_t stopLimitMs = 30000;
    // The external program's wait of up to ten minutes, and the rest of the action.
    uint32_t actionLimitMs = 11 * 60 * 1000;
};

struct ServiceOptions {
    // Ask for the preshutdown control (the service is installed with a
    // preshutdown time-out). The shutdown control is then still taken: the
    // second stop it makes changes nothing.
    bool acceptPreshutdown = false;
    ServiceTimings timings;
};

class ServiceControl {
public:
    // The references outlive it.
    ServiceControl(IServiceStatusSink& sink, IServiceHost& host, const IClock& clock, ServiceOptions options = {});
    ServiceControl(const ServiceControl&) = delete;
    ServiceControl& operator=(const ServiceControl&) = delete;

    // The service's start begins: StartPending. Once; false when the manager
    // did not take the report (the service cannot go on).
    bool BeginStart();
    // The host has started: Running, with the controls it takes. Ignored once
    // a stop has come.
    void Started();
    // The host has ended, after its stop or on its own (a failed start, a
    // fault): Stopped with the exit codes. Nothing changes after it.
    void Ended(ServiceExit exit = {});
    // Periodic, from any thread (the monitor's may be inside an action's
    // bounded wait): a pending step's next check point, and the held stop
    // begun once its action has ended.
    void Tick();

    // The control handler, on the dispatcher's thread.
    ControlResult Handle(const ServiceControlRequest& request);

    ServiceStatus Current() const;

private:
    enum class Phase { NotStarted, Starting, Running, StopHeld, Stopping, Ended };

    ControlResult HandleStop(ServiceControlCode code);
    ControlResult HandleInterrogate();
    ControlResult HandleParamChange();
    ControlResult HandlePowerEvent(PowerEventCode event);
    // Under the lock:
    void EnterPhase(Phase phase, ServiceState state, uint32_t waitHintMs);
    bool HostLive() const { return phase_ == Phase::Running || phase_ == Phase::StopHeld; }
    bool WithinBound(uint64_t nowMs) const;
    AcceptedControls RunningControls() const;
    bool ReportLocked() { return sink_.Report(status_); }

    IServiceStatusSink& sink_;
    IServiceHost& host_;
    const IClock& clock_;
    const ServiceOptions options_;

    mutable std::mutex mutex_;
    Phase phase_ = Phase::NotStarted;
    ServiceStatus status_;
    uint64_t phaseStartMs_ = 0;  // when the current pending step began
};

}  // namespace velt
