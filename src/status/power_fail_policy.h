#pragma once
// The power-fail countdown DelayTimer: armed by the delay rule when a power
// failure begins, shortened to 100 ms by the voltage rule, cancelled when the
// mains return; at expiry it runs the external program, tells the UPS to
// switch off later and carries out the chosen computer action. Main thread only.
#include <functional>
#include <optional>
#include <string>

#include "core/ups_settings.h"
#include "core/event_sink.h"
#include "core/ups_link.h"
#include "status/power_actions.h"
#include "status/peer_shutdown.h"
#include "status/power_fail_countdown.h"
#include "sys/clock.h"
#include "sys/data_lock.h"
#include "sys/process_launcher.h"
#include "sys/system_event_log.h"
#include "sys/timer.h"

namespace velt {

// The "Action" setting.
enum class PowerFailAction { Shutdown = 1, Suspend = 2, Hibernate = 3, Nothing = 4 };

enum class ExternalProgramOutcome {
    NotStarted,    // no usable path, or the system could not start it
    Ended,         // it ended (or could no longer be waited for)
    StillRunning,  // the wait limit ran out; the program is left running
};

// A double quote, the path, a double quote and one blank.
std::string ExternalProgramCommandLine(const std::string& path);
// The path up to and including its last separator; empty when it has none.
std::string ExternalProgramDirectory(const std::string& path);

// Starts the program and waits for its end in steps of `stepMs`, letting window
// messages run after every step that ends with the program still running, for
// at most `maxSteps` steps. A path with a double quote or a NUL in it is not
// started: it could not be quoted as one argument.
ExternalProgramOutcome RunExternalProgram(IProcessLauncher& launcher, const std::string& path,
                                          const std::function<void()>& processMessages,
                                          unsigned stepMs, unsigned maxSteps);

struct PowerFailPolicyDeps {
    ITimer& delayTimer;
    const TUPSSettings& settings;  // read at the moment of use
    IComputerPowerActions& actions;
    TUPSLink& link;
    IDataLock& lock;
    ISleeper& sleeper;
    ILogSink& log;
    IProcessLauncher& launcher;
    IMessagePump& pump;
    IPeerShutdown* peers = nullptr;  // none: no network clients to wait for
    // A service's: each step of an action is logged and reported there, for
    // the administrator who finds the computer off. None for a window, whose
    // log keeps the lines it always had.
    ISystemEventLog* systemEvents = nullptr;
    // A window watching the service: the service acts, the window never does.
    bool watchOnly = false;
    // Each step of an action as it is taken ("external program", "shutdown",
    // ...), for the history.
    std::function<void(const std::string&)> actionTaken = {};
};

class PowerFailPolicy : public IPowerFailCountdown {
public:
    static constexpr uint32_t kVoltageRuleMs = 100;
    static constexpr unsigned kProgramStepMs = 100;
    // Ten minutes: past that, the action must not wait any longer on a hung
    // program while the battery runs down.
    static constexpr unsigned kProgramMaxSteps = 6000;

    explicit PowerFailPolicy(PowerFailPolicyDeps deps) : deps_(deps) {}

    // The countdown's share of one evaluated status reply, called by the status
    // evaluation for every reply it evaluates (not for one it drops):
    // - the first reply of a failure arms the delay ("Delay" seconds) when
    //   "Delay Action" is on; later replies of the same failure never re-arm it;
    // - a failure reply whose battery voltage is strictly below "Min Voltage",
    //   with "Voltage Action" on, re-arms a 100 ms countdown after the delay rule,
    //   so it wins within the same reply; it takes two such replies in a row, so
    //   one corrupted reply cannot power the computer off;
    // - the first reply without the failure bit cancels the countdown.
    // Nothing else cancels: stopping monitoring leaves a running countdown alone.
    // Nothing arms while an action is under way, nor ever after a power-off was
    // asked for.
    void OnStatusReply(bool powerFail, std::optional<double> batteryVoltage);

    // The same rules one by one, for an evaluation that tracks the failure edge
    // itself. PowerFailBegins arms the delay once per failure (a repeated call
    // before PowerReturned does nothing); PowerReturned cancels.
    void PowerFailBegins() override;
    void VoltageReading(std::optional<double> packVolts) override;
    void PowerReturned() override;
    // Logs `why` and runs the action after the voltage rule's short countdown,
    // whatever the failure's state: a UPS about to lose power leaves no time
    // for the delay. Nothing happens while an action is under way.
    void ActNow(const std::string& why);
    bool VoltageRuleHolds(double batteryVoltage) const;

    // DelayTimer's expiry. An expiry that arrives while an earlier one is still
    // acting (the external program's wait and the suspend let window messages
    // run) is dropped after disabling the timer: the earlier one carries out the
    // same action, so the program never runs twice at once, and the voltage rule
    // arms again on the next qualifying replies once the earlier one is done.
    void DelayTimerTimer();

    // Between these an expiry is held back and runs right after the release: the
    // worker waits in its hand-off meanwhile, and an action run inside that
    // hand-off would keep it blocked through the program's wait and the
    // shutdown's wait for the worker's end.
    void HoldExpiries();
    void ReleaseExpiries();

    bool InFailure() const { return inFailure_; }
    bool Acting() const { return acting_; }
    bool PowerOffRequested() const { return powerOffRequested_; }

    // How soon a held-back expiry runs after the release.
    static constexpr uint32_t kHeldExpiryMs = 10;

private:
    bool MayArm() const { return !deps_.watchOnly && !acting_ && !powerOffRequested_; }
    void ArmByDelayRule();
    void ArmByVoltageRule();
    void Act();
    void RunConfiguredProgram();
    void UPSShutdownCommand();
    void SendUPSShutdownIfOn();
    void ShutDownPeers();
    void CancelPeerShutdownUnlessPoweringOff();
    // A log line, and its entry in the system's event log when there is one.
    void Record(SystemEventLevel level, const std::string& text);
    // The same for lines a window's log never had: only a service gets them.
    void Announce(SystemEventLevel level, const std::string& text);
    void Taken(const std::string& action);

    PowerFailPolicyDeps deps_;
    bool inFailure_ = false;
    bool acting_ = false;
    bool powerOffRequested_ = false;
    // A failure that began during an action gets its delay once the action is over.
    bool delayAfterAction_ = false;
    // The mains returned while acting: the clients may stay up once it is over.
    bool peersBackAfterAction_ = false;
    int lowReadings_ = 0;  // failure replies in a row that met the voltage rule
    bool holdingExpiries_ = false;
    bool expiryHeld_ = false;
};

}  // namespace velt
