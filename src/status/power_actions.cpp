#include "status/power_actions.h"

#include <cstdio>
#include <exception>
#include <string>

#include "core/failure_of.h"

namespace velt {

bool ForceOptionsSupported(uint32_t osMajorVersion) { return osMajorVersion <= 5; }

namespace {

std::string PowerBroadcastLogText(uint64_t eventCode) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "WM_POWERBROADCAST 0x%04llX",
                  static_cast<unsigned long long>(eventCode));
    return buf;
}

// A step of the worker stop whose failure must not keep the next from
// running; the failure goes to the log.
template <typename Step>
void Guarded(ILogSink& log, Step step) {
    if (const auto what = FailureOf(step)) log.AddLogLine("I/O Thread stop failed! " + *what);
}

}  // namespace

PowerActions::~PowerActions() { ReleaseSuspendHold(); }

PowerActionAvailability PowerActions::PowerActionsAvailable() {
    return {deps_.services.IsSuspendAllowed(), deps_.services.IsHibernateAllowed(),
            deps_.services.IsShutdownAllowed()};
}

void PowerActions::RegisterPowerSchemeNotification() {
    if (VistaOrLater()) deps_.services.RegisterPowerSchemeNotification();
}

void PowerActions::ShutdownComputer() {
    if (deps_.services.IsShutdownAllowed() != true) return;
    if (!deps_.services.EnableShutdownPrivilege()) return;
    ReleaseSuspendHold();
    StopWorker();
    deps_.exit.SetExitRequested();
    const bool force = ForceOptionsSupported(deps_.osMajorVersion) && deps_.settings.ForceShutdown;
    std::string error;
    // Polling has already stopped; a refused power-off would otherwise leave the
    // program silently doing nothing.
    if (!deps_.services.PowerOff(force, error)) deps_.log.AddLogLine("ExitWindowsEx failed! " + error);
}

void PowerActions::SuspendComputer() {
    if (deps_.services.HasSetSuspendState() && deps_.services.IsSuspendAllowed() == true) {
        deps_.log.AddLogLine("Suspend Mode");
        deps_.reportTimers.DisableReportTimers();
        const bool force = ForceOptionsSupported(deps_.osMajorVersion) && deps_.settings.ForceSuspend;
        deps_.services.SetSuspendState(false, force);
    }
    deps_.pump.ProcessMessages();
}

void PowerActions::HibernateComputer() {
    if (!deps_.services.HasSetSuspendState() || deps_.services.IsHibernateAllowed() != true) return;
    deps_.log.AddLogLine("Hibernate");
    deps_.reportTimers.DisableReportTimers();
    deps_.services.SetSuspendState(true, false);
    deps_.pump.ProcessMessages();
}

void PowerActions::WMPowerBroadcast(uint64_t eventCode) {
    deps_.log.AddLogLine(PowerBroadcastLogText(eventCode));
    if (eventCode == kPbtApmSuspend) {
        deps_.reportTimers.DisableReportTimers();
        HoldLockForSuspend();
    } else if (eventCode == kPbtApmResumeAutomatic ||
               (eventCode == kPbtApmResumeCritical && !VistaOrLater())) {
        ReleaseSuspendHold();
        // The suspend stopped them; left off, periodic reports would end
        // silently with every sleep while their boxes still show them on.
        deps_.reportTimers.RestartReportTimers();
        deps_.pump.ProcessMessages();
    }
}

// The system may announce a suspend twice before one resume: the lock is held
// once, so the single resume frees it.
void PowerActions::HoldLockForSuspend() {
    if (suspendHold_) return;
    deps_.lock.Lock();
    suspendHold_ = true;
}

void PowerActions::ReleaseSuspendHold() {
    if (!suspendHold_) return;
    suspendHold_ = false;
    deps_.lock.Unlock();
}

// A worker that does not end in time is left running and not freed: freeing
// it would block on its join. The power-off goes ahead regardless.
void PowerActions::StopWorker() {
    Guarded(deps_.log, [&] { deps_.worker.Terminate(); });
    bool ended = false;
    Guarded(deps_.log, [&] {
        ended = WaitForWorkerEnd(deps_.worker, deps_.pump, deps_.sleeper, kWorkerStepMs, kWorkerWaitMs);
    });
    if (ended) Guarded(deps_.log, [&] { deps_.worker.Join(); });
}

bool WaitForWorkerEnd(const IPollingWorker& worker, IMessagePump& pump, ISleeper& sleeper, unsigned stepMs,
                      unsigned limitMs) {
    for (unsigned waited = 0;; waited += stepMs) {
        pump.ProcessSentMessages();
        if (worker.Finished()) return true;
        if (waited >= limitMs) return false;
        sleeper.Sleep(stepMs);
    }
}

}  // namespace velt
