#include "status/power_actions.h"

#include <cstdio>
#include <string>

namespace velt {

bool ForceOptionsSupported(uint32_t osMajorVersion) { return osMajorVersion <= 5; }

namespace {

std::string PowerBroadcastLogText(uint64_t eventCode) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "WM_POWERBROADCAST 0x%04llX",
                  static_cast<unsigned long long>(eventCode));
    return buf;
}

// A step of the worker stop whose failure must not keep the next from running.
template <typename Step>
void Guarded(Step step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

TPowerActions::~TPowerActions() { ReleaseSuspendHold(); }

PowerActionAvailability TPowerActions::PowerActionsAvailable() {
    return {d_.services.IsSuspendAllowed(), d_.services.IsHibernateAllowed(),
            d_.services.IsShutdownAllowed()};
}

void TPowerActions::RegisterPowerSchemeNotification() {
    if (VistaOrLater()) d_.services.RegisterPowerSchemeNotification();
}

void TPowerActions::ShutdownComputer() {
    if (d_.services.IsShutdownAllowed() != true) return;
    if (!d_.services.EnableShutdownPrivilege()) return;
    ReleaseSuspendHold();
    StopWorker();
    d_.exit.SetExitRequested();
    const bool force = ForceOptionsSupported(d_.osMajorVersion) && d_.settings.ForceShutdown;
    std::string error;
    // Polling has already stopped; a refused power-off would otherwise leave the
    // program silently doing nothing.
    if (!d_.services.PowerOff(force, error)) d_.log.AddLogLine("ExitWindowsEx failed! " + error);
}

void TPowerActions::SuspendComputer() {
    if (d_.services.HasSetSuspendState() && d_.services.IsSuspendAllowed() == true) {
        d_.log.AddLogLine("Suspend Mode");
        d_.reportTimers.DisableReportTimers();
        const bool force = ForceOptionsSupported(d_.osMajorVersion) && d_.settings.ForceSuspend;
        d_.services.SetSuspendState(false, force);
    }
    d_.pump.ProcessMessages();
}

void TPowerActions::HibernateComputer() {
    if (!d_.services.HasSetSuspendState() || d_.services.IsHibernateAllowed() != true) return;
    d_.log.AddLogLine("Hibernate");
    d_.reportTimers.DisableReportTimers();
    d_.services.SetSuspendState(true, false);
    d_.pump.ProcessMessages();
}

void TPowerActions::WMPowerBroadcast(uint64_t eventCode) {
    d_.log.AddLogLine(PowerBroadcastLogText(eventCode));
    if (eventCode == kPbtApmSuspend) {
        d_.reportTimers.DisableReportTimers();
        HoldLockForSuspend();
    } else if (eventCode == kPbtApmResumeAutomatic ||
               (eventCode == kPbtApmResumeCritical && !VistaOrLater())) {
        ReleaseSuspendHold();
        d_.pump.ProcessMessages();
    }
}

// The system may announce a suspend twice before one resume: the lock is held
// once, so the single resume frees it.
void TPowerActions::HoldLockForSuspend() {
    if (suspendHold_) return;
    d_.lock.Lock();
    suspendHold_ = true;
}

void TPowerActions::ReleaseSuspendHold() {
    if (!suspendHold_) return;
    suspendHold_ = false;
    d_.lock.Unlock();
}

// A worker that does not end in time is left running and not freed: freeing
// it would block on its join. The power-off goes ahead regardless.
void TPowerActions::StopWorker() {
    Guarded([&] { d_.worker.Terminate(); });
    bool ended = false;
    Guarded([&] { ended = WaitForWorkerEnd(d_.worker, d_.pump, d_.sleeper, kWorkerStepMs, kWorkerWaitMs); });
    if (ended) Guarded([&] { d_.worker.Free(); });
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
