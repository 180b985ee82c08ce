#pragma once
// System power actions: shutting the computer down, suspending or hibernating
// it, which of these the system allows, and the reaction to the system's power
// broadcasts (polling pauses from the suspend notification until the resume).
// Main thread only.
#include <cstdint>
#include <optional>

#include "core/ups_settings.h"
#include "core/event_sink.h"
#include "sys/clock.h"
#include "sys/data_lock.h"
#include "sys/message_pump.h"
#include "sys/power_services.h"

namespace velt {

// "Force Shutdown" and "Force Suspend" exist only up to major version 5.
bool ForceOptionsSupported(uint32_t osMajorVersion);

// The three actions as the power-fail countdown and the toolbar call them.
class IComputerPowerActions {
public:
    virtual ~IComputerPowerActions() = default;
    virtual void ShutdownComputer() = 0;
    virtual void SuspendComputer() = 0;
    virtual void HibernateComputer() = 0;
};

// The I/O worker as the shutdown sees it.
class IPollingWorker {
public:
    virtual ~IPollingWorker() = default;
    virtual void Terminate() = 0;
    virtual bool Finished() const = 0;
    // Joins the worker and lets it go; called only once Finished() is true.
    virtual void Join() = 0;
};

// Waits, in steps of `stepMs` for at most `limitMs`, until the worker has ended.
// The worker may be inside its synchronous hand-off to this thread, so sent
// messages are let through meanwhile. True when it ended.
bool WaitForWorkerEnd(const IPollingWorker& worker, IMessagePump& pump, ISleeper& sleeper, unsigned stepMs,
                      unsigned limitMs);

// SMTPReportsTimer and LANReportsTimer.
class IReportTimers {
public:
    virtual ~IReportTimers() = default;
    virtual void DisableReportTimers() = 0;
    // After a resume: the timers whose reports are switched on run again, their
    // first period counted from now.
    virtual void RestartReportTimers() = 0;
};

// The exit-requested flag: lets the close that Windows sends at shutdown through.
class IExitRequest {
public:
    virtual ~IExitRequest() = default;
    virtual void SetExitRequested() = 0;
};

// Enabled states of the six action controls. Each answer drives a toolbar button
// and its radio button; none means the query was absent and both keep their state.
struct PowerActionAvailability {
    std::optional<bool> sleep;      // SleepSB, SleepRB
    std::optional<bool> hibernate;  // HibernateSB, HibernateRB
    std::optional<bool> shutdown;   // ShutdownSB, ShutdownRB
};

// Power broadcast event codes acted upon.
constexpr uint64_t kPbtApmSuspend = 0x0004;
constexpr uint64_t kPbtApmResumeCritical = 0x0006;
constexpr uint64_t kPbtApmResumeAutomatic = 0x0012;

struct PowerActionsDeps {
    IPowerServices& services;
    const TUPSSettings& settings;  // ForceShutdown, ForceSuspend, read at the moment of use
    IDataLock& lock;
    ILogSink& log;
    IReportTimers& reportTimers;
    IPollingWorker& worker;
    IExitRequest& exit;
    IMessagePump& pump;
    ISleeper& sleeper;
    uint32_t osMajorVersion = 5;
};

class PowerActions final : public IComputerPowerActions {
public:
    // How long the shutdown waits for the worker to end, in steps of kWorkerStepMs.
    // A poll holds the worker at most about 4.5 s, plus 300 ms to notice the request.
    static constexpr unsigned kWorkerStepMs = 10;
    static constexpr unsigned kWorkerWaitMs = 10000;

    explicit PowerActions(PowerActionsDeps deps) : deps_(deps) {}
    ~PowerActions() override;  // gives back a lock still held from a suspend
    PowerActions(const PowerActions&) = delete;
    PowerActions& operator=(const PowerActions&) = delete;

    // Start-up: which of the three actions the system allows. Pure query, so it
    // can be applied twice (before and after loading the settings).
    PowerActionAvailability PowerActionsAvailable();
    // Start-up, once: on Vista or later, ask for power-scheme changes.
    void RegisterPowerSchemeNotification();

    void ShutdownComputer() override;
    void SuspendComputer() override;
    void HibernateComputer() override;

    // WM_POWERBROADCAST; the window passes the message on to its default
    // processing afterwards.
    void WMPowerBroadcast(uint64_t eventCode);

    bool HoldsLockForSuspend() const { return suspendHold_; }

private:
    bool VistaOrLater() const { return deps_.osMajorVersion > 5; }
    void HoldLockForSuspend();
    void ReleaseSuspendHold();
    void StopWorker();

    PowerActionsDeps deps_;
    bool suspendHold_ = false;  // the main thread holds the data lock once for a suspend
};

}  // namespace velt
