#include "status/power_fail_policy.h"

#include "core/command_exchange.h"
#include "core/commands.h"

#include <utility>

namespace velt {

namespace {

bool QuotableAsOneArgument(const std::string& path) {
    return !path.empty() && path.find_first_of(std::string("\"\0", 2)) == std::string::npos;
}

// Clears a flag on every way out, so a throwing action cannot leave the
// countdown believing it is still acting.
class ActingScope {
public:
    explicit ActingScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~ActingScope() { flag_ = false; }
    ActingScope(const ActingScope&) = delete;
    ActingScope& operator=(const ActingScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

std::string ExternalProgramCommandLine(const std::string& path) { return "\"" + path + "\" "; }

// Windows takes "/" as a separator too; a path chosen by hand may use it.
std::string ExternalProgramDirectory(const std::string& path) {
    const auto last = path.find_last_of("\\/");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

ExternalProgramOutcome RunExternalProgram(IProcessLauncher& launcher, const std::string& path,
                                          const std::function<void()>& processMessages,
                                          unsigned stepMs, unsigned maxSteps) {
    if (!QuotableAsOneArgument(path)) return ExternalProgramOutcome::NotStarted;
    std::string error;
    auto process =
        launcher.Start(ExternalProgramCommandLine(path), ExternalProgramDirectory(path), error);
    if (!process) return ExternalProgramOutcome::NotStarted;
    for (unsigned step = 0; step < maxSteps; ++step) {
        if (process->WaitForExit(stepMs) != ProcessWait::StillRunning)
            return ExternalProgramOutcome::Ended;
        if (processMessages) processMessages();
    }
    return ExternalProgramOutcome::StillRunning;
}

void PowerFailPolicy::OnStatusReply(bool powerFail, std::optional<double> batteryVoltage) {
    if (!powerFail) {
        PowerReturned();
        return;
    }
    PowerFailBegins();
    VoltageReading(batteryVoltage);
}

void PowerFailPolicy::PowerFailBegins() {
    if (inFailure_) return;
    inFailure_ = true;
    if (MayArm())
        ArmByDelayRule();
    else
        delayAfterAction_ = !powerOffRequested_;
}

void PowerFailPolicy::PowerReturned() {
    lowReadings_ = 0;
    if (!inFailure_) return;
    inFailure_ = false;
    delayAfterAction_ = false;
    deps_.delayTimer.SetEnabled(false);
    // The clients told to shut down stay told while this computer acts: the
    // UPS may still be told to switch off under them.
    if (acting_)
        peersBackAfterAction_ = true;
    else
        CancelPeerShutdownUnlessPoweringOff();
}

void PowerFailPolicy::CancelPeerShutdownUnlessPoweringOff() {
    if (deps_.peers && !powerOffRequested_) deps_.peers->CancelPeerShutdown();
}

bool PowerFailPolicy::VoltageRuleHolds(double batteryVoltage) const {
    return deps_.settings.VoltageAction && batteryVoltage < deps_.settings.MinVoltage / 10.0;
}

void PowerFailPolicy::VoltageReading(std::optional<double> packVolts) {
    if (!packVolts || !VoltageRuleHolds(*packVolts)) {
        lowReadings_ = 0;
        return;
    }
    if (lowReadings_ < 2) ++lowReadings_;
    if (lowReadings_ == 2 && MayArm()) ArmByVoltageRule();
}

// A stored delay outside the control's range is brought into it: zero or less
// would act on the first blip of a power failure.
void PowerFailPolicy::ArmByDelayRule() {
    if (!deps_.settings.DelayAction) return;
    const int32_t seconds = kDelayRange.Clamp(deps_.settings.Delay);
    deps_.delayTimer.SetInterval(static_cast<uint32_t>(seconds) * 1000u);
    deps_.delayTimer.SetEnabled(true);
}

// The same short countdown as the voltage rule: the action then runs from the
// timer, outside the worker's hand-off.
void PowerFailPolicy::ActNow(const std::string& why) {
    if (!MayArm()) return;
    Record(SystemEventLevel::Warning, why);
    ArmByVoltageRule();
}

void PowerFailPolicy::ArmByVoltageRule() {
    deps_.delayTimer.SetEnabled(false);
    deps_.delayTimer.SetInterval(kVoltageRuleMs);
    deps_.delayTimer.SetEnabled(true);
}

void PowerFailPolicy::DelayTimerTimer() {
    deps_.delayTimer.SetEnabled(false);
    if (!MayArm()) return;
    if (holdingExpiries_) {
        expiryHeld_ = true;
        return;
    }
    {
        ActingScope scope(acting_);
        Act();
    }
    if (std::exchange(peersBackAfterAction_, false) && !inFailure_) CancelPeerShutdownUnlessPoweringOff();
    if (delayAfterAction_ && inFailure_ && MayArm()) ArmByDelayRule();
    delayAfterAction_ = false;
}

void PowerFailPolicy::Act() {
    if (deps_.settings.ExternalProgramRun) RunConfiguredProgram();
    switch (static_cast<PowerFailAction>(deps_.settings.Action)) {
        case PowerFailAction::Suspend:
            ShutDownPeers();
            Announce(SystemEventLevel::Warning, "Power action: suspending the computer");
            Taken("suspend");
            deps_.actions.SuspendComputer();
            break;
        case PowerFailAction::Hibernate:
            ShutDownPeers();
            SendUPSShutdownIfOn();
            Announce(SystemEventLevel::Warning, "Power action: hibernating the computer");
            Taken("hibernate");
            deps_.actions.HibernateComputer();
            break;
        case PowerFailAction::Shutdown:
            ShutDownPeers();
            SendUPSShutdownIfOn();
            Announce(SystemEventLevel::Warning, "Power action: shutting down the computer");
            Taken("shutdown");
            deps_.actions.ShutdownComputer();
            powerOffRequested_ = true;
            break;
        case PowerFailAction::Nothing:
        default:
            break;
    }
}

void PowerFailPolicy::HoldExpiries() { holdingExpiries_ = true; }

void PowerFailPolicy::ReleaseExpiries() {
    holdingExpiries_ = false;
    if (!expiryHeld_) return;
    expiryHeld_ = false;
    if (!MayArm()) return;
    deps_.delayTimer.SetInterval(kHeldExpiryMs);
    deps_.delayTimer.SetEnabled(true);
}

void PowerFailPolicy::RunConfiguredProgram() {
    const std::string path = deps_.settings.ExternalProgramName.value_or(std::string());
    Announce(SystemEventLevel::Information, "Power action: running the external program \"" + path + "\"");
    Taken("external program");
    const auto outcome = RunExternalProgram(
        deps_.launcher, path, [this] { deps_.pump.ProcessMessages(); }, kProgramStepMs, kProgramMaxSteps);
    if (outcome == ExternalProgramOutcome::NotStarted)
        Announce(SystemEventLevel::Error, "Power action: the external program could not be started");
    if (outcome == ExternalProgramOutcome::StillRunning)
        Record(SystemEventLevel::Warning, "External program still running after " +
                                              std::to_string(kProgramStepMs * kProgramMaxSteps / 60000) +
                                              " minutes; continuing");
}

// The peers go first: once the UPS is told to switch off, their time runs out
// with this computer's.
void PowerFailPolicy::ShutDownPeers() {
    if (deps_.peers) deps_.peers->ShutDownPeers();
}

void PowerFailPolicy::SendUPSShutdownIfOn() {
    if (!deps_.settings.UPSShutdown) return;
    if (deps_.settings.UPSSource == kUPSSourceNut)
        Record(SystemEventLevel::Information, "UPS Shutdown skipped: the UPS belongs to the NUT server's computer");
    else
        UPSShutdownCommand();
}

// The reply is not examined: the computer action follows whatever the UPS says.
void PowerFailPolicy::UPSShutdownCommand() {
    const int32_t minutes = kUPSShutdownDelayRange.Clamp(deps_.settings.UPSShutdownDelay);
    Announce(SystemEventLevel::Warning,
             "Power action: telling the UPS to switch off in " + std::to_string(minutes) + " min");
    Taken("UPS switch-off");
    DataLockGuard guard(deps_.lock);
    ExchangeCommand(deps_.link, cmd::ShutdownCommand(minutes), deps_.sleeper, deps_.log);
}

void PowerFailPolicy::Record(SystemEventLevel level, const std::string& text) {
    deps_.log.AddLogLine(text);
    if (deps_.systemEvents) deps_.systemEvents->Report(level, text);
}

void PowerFailPolicy::Taken(const std::string& action) {
    if (deps_.actionTaken) deps_.actionTaken(action);
}

void PowerFailPolicy::Announce(SystemEventLevel level, const std::string& text) {
    if (deps_.systemEvents) Record(level, text);
}

}  // namespace velt
