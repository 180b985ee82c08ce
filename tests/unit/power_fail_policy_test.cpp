#include "status/power_fail_policy.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes.h"
#include "power_fakes.h"

namespace velt::test {
namespace {

using namespace power;

// Notes each command on the shared event list with the lock depth at the time.
struct WatchedSerial : FakeSerial {
    FakeLock& lock;
    Events& ev;
    WatchedSerial(VirtualTime& t, FakeLock& l, Events& e) : FakeSerial(t), lock(l), ev(e) {}
    bool StartWrite(const uint8_t* d, size_t len) override {
        ev.push_back(std::string(reinterpret_cast<const char*>(d), len - 1) + " under lock " +
                     std::to_string(lock.depth));
        return FakeSerial::StartWrite(d, len);
    }
};

struct Countdown : ::testing::Test {
    Events ev;
    VirtualTime time;
    FakeLock lock;
    FakeLog log;
    RecordingTimer timer;
    TUPSSettings settings;
    FakeComputerActions actions{ev};
    FakeLauncher launcher{ev};
    FakePump pump{ev};
    TUPSLink link;
    WatchedSerial* serial = nullptr;
    PowerFailPolicy policy{{timer, settings, actions, link, lock, time, log, launcher, pump, nullptr}};

    void SetUp() override {
        auto port = std::make_unique<WatchedSerial>(time, lock, ev);
        serial = port.get();
        link.ComHandle = std::move(port);
        link.ComActive = true;
        settings.VoltageAction = false;
        settings.ExternalProgramName = "C:\\Tools\\save state.cmd";
    }
};

// --- Arming and cancelling ---------------------------------------------------

TEST_F(Countdown, DelayRuleArmsOnceAtTheStartOfAFailure) {
    policy.OnStatusReply(true, 13.5);
    EXPECT_EQ(timer.ops, (Events{"600000", "on"}));
    settings.Delay = 30;  // neither re-arms nor restarts the running count
    policy.OnStatusReply(true, 13.4);
    policy.PowerFailBegins();
    policy.DelayTimerTimer();
    policy.OnStatusReply(true, 13.0);  // nor starts an expired one again
    EXPECT_EQ(timer.ops, (Events{"600000", "on", "off"}));
}

TEST_F(Countdown, DelayRuleOffArmsNothingAndAStoredDelayOutOfRangeIsClamped) {
    settings.DelayAction = false;
    policy.OnStatusReply(true, 10.0);
    EXPECT_TRUE(timer.ops.empty());
    policy.OnStatusReply(false, 13.5);
    settings.DelayAction = true;
    settings.Delay = 0;
    policy.OnStatusReply(true, 13.5);
    EXPECT_EQ(timer.interval, 10000u);
}

// One corrupted reply must not power the computer off: the rule takes two low
// replies in a row, and a reply that is not low or not known breaks the row.
TEST_F(Countdown, VoltageRuleNeedsTwoLowRepliesInARowAndWinsWithinTheSecond) {
    settings.VoltageAction = true;
    for (const std::optional<double> volts : {std::optional<double>(10.9), std::optional<double>(11.0),
                                              std::optional<double>(10.9), std::optional<double>()})
        policy.OnStatusReply(true, volts);
    EXPECT_EQ(timer.ops, (Events{"600000", "on"}));  // 11.0 is not below 11.0
    policy.OnStatusReply(true, 10.9);
    policy.OnStatusReply(true, 10.8);
    EXPECT_EQ(timer.ops, (Events{"600000", "on", "off", "100", "on"}));
    policy.OnStatusReply(false, 13.5);
    timer.ops.clear();
    policy.OnStatusReply(true, 10.9);  // the return broke the row too
    EXPECT_EQ(timer.ops, (Events{"600000", "on"}));
}

TEST_F(Countdown, VoltageRuleRearmsOnEveryQualifyingReply) {
    settings.Action = 4;
    settings.DelayAction = false;
    settings.VoltageAction = true;
    policy.OnStatusReply(true, 10.5);
    policy.OnStatusReply(true, 10.5);
    policy.DelayTimerTimer();
    policy.OnStatusReply(true, 10.4);
    policy.OnStatusReply(true, 10.3);
    EXPECT_EQ(timer.ops,
              (Events{"off", "100", "on", "off", "off", "100", "on", "off", "100", "on"}));
}

TEST_F(Countdown, OnlyThePowerReturnCancelsAndTheNextFailureArmsAgain) {
    policy.OnStatusReply(true, 13.5);
    policy.OnStatusReply(true, 13.0);
    policy.OnStatusReply(false, 13.5);
    policy.OnStatusReply(false, 13.5);  // mains still present: the timer is left alone
    policy.OnStatusReply(true, 13.5);
    EXPECT_EQ(timer.ops, (Events{"600000", "on", "off", "600000", "on"}));
}

// --- The expiry --------------------------------------------------------------

struct ActionCase {
    int action;
    Events expected;
};
class ExpiryAction : public Countdown, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(ExpiryAction, FollowsTheActionButtonAndSendsTheUPSCommandOnlyBeforePowerOff) {
    settings.Action = GetParam().action;
    settings.UPSShutdown = true;
    policy.OnStatusReply(true, 13.5);
    policy.DelayTimerTimer();
    EXPECT_FALSE(timer.enabled);
    EXPECT_EQ(ev, GetParam().expected);
    EXPECT_EQ(lock.depth, 0);
}

INSTANTIATE_TEST_SUITE_P(Actions, ExpiryAction,
                         ::testing::Values(ActionCase{1, {"S05 under lock 1", "Shutdown"}},
                                           ActionCase{2, {"Suspend"}},
                                           ActionCase{3, {"S05 under lock 1", "Hibernate"}},
                                           ActionCase{4, {}}, ActionCase{0, {}}));

// A UPS read from a NUT server: FSD acts at once whether or not a failure was
// seen, and the UPS is its server's computer's to switch off.
TEST_F(Countdown, ActNowRunsTheActionSoonAndLeavesARemoteUPSOn) {
    settings.Action = 1;
    settings.UPSShutdown = true;
    settings.UPSSource = kUPSSourceNut;
    policy.ActNow("Forced shutdown requested by the NUT server");
    EXPECT_EQ(timer.ops, (Events{"off", "100", "on"}));
    policy.DelayTimerTimer();
    EXPECT_EQ(ev, (Events{"Shutdown"}));
    EXPECT_EQ(serial->written, "");
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Forced shutdown requested by the NUT server",
                                                   "UPS Shutdown skipped: the UPS belongs to the NUT server's computer"}));
    policy.ActNow("again");  // a power-off was asked for: nothing more
    EXPECT_EQ(timer.ops.size(), 4u);
    EXPECT_EQ(log.lines.size(), 2u);
}

// A window watching the service: the evaluation's calls, low replies and a
// server's demand arm nothing, so only the service acts.
TEST_F(Countdown, AWatchingWindowNeverArms) {
    PowerFailPolicy watching{{timer, settings, actions, link, lock, time, log, launcher, pump, nullptr, nullptr, true}};
    settings.VoltageAction = true;
    settings.MinVoltage = 200;
    watching.PowerFailBegins();
    for (int i = 0; i < 3; ++i) watching.OnStatusReply(true, 10.0);
    watching.VoltageReading(10.0);
    watching.ActNow("Forced shutdown requested by the NUT server");
    EXPECT_EQ(timer.ops, Events{});
    EXPECT_EQ(ev, Events{});
}

TEST_F(Countdown, UPSShutdownCommandCarriesItsDelayAsTwoDigitsOnlyWhenOn) {
    settings.Action = 3;
    settings.UPSShutdown = false;
    policy.DelayTimerTimer();
    settings.UPSShutdown = true;
    for (const int minutes : {1, 5, 60}) {
        settings.UPSShutdownDelay = minutes;
        policy.DelayTimerTimer();
    }
    EXPECT_EQ(serial->written, "S01\rS05\rS60\r");
}

TEST_F(Countdown, ActionWaitsForTheExternalProgramWhileMessagesRun) {
    settings.UPSShutdown = true;
    settings.ExternalProgramRun = true;
    launcher.runSteps = 2;
    policy.DelayTimerTimer();
    EXPECT_EQ(launcher.commandLine, "\"C:\\Tools\\save state.cmd\" ");
    EXPECT_EQ(launcher.directory, "C:\\Tools\\");
    EXPECT_EQ(launcher.waits, (std::vector<unsigned>{100, 100, 100}));
    EXPECT_EQ(ev, (Events{"program started", "pump", "pump", "program ended", "S05 under lock 1",
                          "Shutdown"}));
}

struct RecordingPeers : IPeerShutdown {
    Events& ev;
    std::function<void()> duringWait;  // what the replies handled in the wait do
    explicit RecordingPeers(Events& e) : ev(e) {}
    void ShutDownPeers() override {
        ev.push_back("peers");
        if (duringWait) duringWait();
    }
    void CancelPeerShutdown() override { ev.push_back("peers back"); }
};

// The network's clients are told before the UPS is told to switch off and
// before this computer goes; with no computer action they are left alone.
// When the mains return they may stay up, unless this computer is powering off.
TEST_F(Countdown, PeersShutDownAfterTheProgramAndBeforeTheUPSAndTheComputer) {
    RecordingPeers peers{ev};
    const std::pair<int32_t, Events> cases[] = {
        {1, {"program started", "program ended", "peers", "S05 under lock 1", "Shutdown"}},
        {2, {"program started", "program ended", "peers", "Suspend"}},
        {3, {"program started", "program ended", "peers", "S05 under lock 1", "Hibernate"}},
        {4, {"program started", "program ended"}},
    };
    for (const auto& [action, expected] : cases) {
        PowerFailPolicy withPeers{{timer, settings, actions, link, lock, time, log, launcher, pump, &peers}};
        ev.clear();
        settings.Action = action;
        settings.UPSShutdown = true;
        settings.ExternalProgramRun = true;
        withPeers.OnStatusReply(true, 13.0);
        ev.clear();
        withPeers.DelayTimerTimer();
        withPeers.OnStatusReply(false, 13.0);
        Events afterReturn = expected;
        if (action != 1) afterReturn.push_back("peers back");
        EXPECT_EQ(ev, afterReturn) << action;
    }
}

// Once the action has begun the clients stay told: mains back during their
// wait must not take FSD back while the UPS is still told to switch off and
// this computer goes down. After a suspend or hibernation is over, they may stay.
TEST_F(Countdown, MainsBackDuringThePeersWaitLeaveThemToldUntilTheActionIsOver) {
    RecordingPeers peers{ev};
    const std::pair<int32_t, Events> cases[] = {
        {1, {"peers", "mains back", "S05 under lock 1", "Shutdown"}},
        {2, {"peers", "mains back", "Suspend", "peers back"}},
        {3, {"peers", "mains back", "S05 under lock 1", "Hibernate", "peers back"}},
    };
    for (const auto& [action, expected] : cases) {
        PowerFailPolicy withPeers{{timer, settings, actions, link, lock, time, log, launcher, pump, &peers}};
        peers.duringWait = [&] {
            ev.push_back("mains back");
            withPeers.OnStatusReply(false, 13.0);
        };
        settings.Action = action;
        settings.UPSShutdown = true;
        withPeers.OnStatusReply(true, 13.0);
        ev.clear();
        withPeers.DelayTimerTimer();
        EXPECT_EQ(ev, expected) << action;
    }
}

TEST_F(Countdown, ProgramThatDoesNotStartOrNeverEndsDoesNotHoldTheActionBack) {
    settings.Action = 2;
    settings.ExternalProgramRun = true;
    launcher.startOk = false;
    policy.DelayTimerTimer();
    EXPECT_EQ(ev, Events{"Suspend"});
    EXPECT_TRUE(log.lines.empty());
    launcher.startOk = true;
    launcher.runSteps = 1 << 30;
    policy.DelayTimerTimer();
    EXPECT_EQ(pump.messages, static_cast<int>(PowerFailPolicy::kProgramMaxSteps));
    EXPECT_EQ(ev.back(), "Suspend");
    EXPECT_EQ(log.lines, Events{"External program still running after 10 minutes; continuing"});
}

// A reply handled during the program's wait re-arms the 100 ms countdown, which
// then expires while the first expiry still waits.
TEST_F(Countdown, ExpiryDuringTheProgramWaitDoesNotStartTheProgramAgain) {
    settings.Action = 4;
    settings.DelayAction = false;
    settings.VoltageAction = true;
    settings.ExternalProgramRun = true;
    launcher.runSteps = 2;
    pump.onMessages = [&] {
        policy.OnStatusReply(true, 10.0);
        policy.DelayTimerTimer();
        EXPECT_FALSE(timer.enabled);  // consumed, not left to fire again
    };
    policy.DelayTimerTimer();
    EXPECT_EQ(launcher.starts, 1);
    pump.onMessages = nullptr;
    EXPECT_FALSE(timer.enabled);       // replies during the action did not arm it
    policy.OnStatusReply(true, 10.0);  // once it is over, the rule runs it again
    policy.DelayTimerTimer();
    EXPECT_EQ(launcher.starts, 2);
}

// Replies evaluated while the shutdown waits for the worker must not arm a
// second round: the program, the UPS command and the power-off run once.
TEST_F(Countdown, ShutdownRunsOnceWhateverRepliesComeDuringOrAfterIt) {
    settings.VoltageAction = true;
    settings.UPSShutdown = true;
    settings.ExternalProgramRun = true;
    const auto lowReplies = [&] {
        policy.OnStatusReply(true, 10.0);
        policy.OnStatusReply(true, 10.0);
    };
    actions.during = lowReplies;
    pump.onMessages = lowReplies;
    lowReplies();
    policy.DelayTimerTimer();
    EXPECT_FALSE(timer.enabled);
    lowReplies();
    policy.DelayTimerTimer();
    EXPECT_EQ(ev, (Events{"program started", "program ended", "S05 under lock 1", "Shutdown"}));
    EXPECT_TRUE(policy.PowerOffRequested());
}

// The worker's hand-off lets window messages run; an expiry met there waits
// until the hand-off is over and then runs at once.
TEST_F(Countdown, ExpiryDuringTheWorkersHandOffRunsRightAfterIt) {
    settings.Action = 4;
    settings.ExternalProgramRun = true;
    policy.HoldExpiries();
    policy.ReleaseExpiries();
    EXPECT_TRUE(timer.ops.empty());  // nothing held, nothing armed
    policy.OnStatusReply(true, 13.5);
    policy.HoldExpiries();
    policy.DelayTimerTimer();
    EXPECT_EQ(launcher.starts, 0);
    EXPECT_FALSE(timer.enabled);
    policy.ReleaseExpiries();
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(timer.interval, PowerFailPolicy::kHeldExpiryMs);
    policy.DelayTimerTimer();
    EXPECT_EQ(launcher.starts, 1);
}

TEST_F(Countdown, FailureThatBeginsDuringAnActionGetsItsDelayAfterIt) {
    settings.Action = 4;
    settings.ExternalProgramRun = true;
    launcher.runSteps = 1;
    policy.OnStatusReply(true, 13.5);
    pump.onMessages = [&] {
        policy.OnStatusReply(false, 230.0);
        policy.OnStatusReply(true, 13.5);
        EXPECT_FALSE(timer.enabled);
    };
    policy.DelayTimerTimer();
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(timer.interval, 600000u);
}

TEST_F(Countdown, ActionThatThrowsDoesNotLeaveTheCountdownActing) {
    actions.during = [] { throw std::runtime_error("boom"); };
    EXPECT_THROW(policy.DelayTimerTimer(), std::runtime_error);
    actions.during = nullptr;
    policy.DelayTimerTimer();
    EXPECT_EQ(ev, (Events{"Shutdown", "Shutdown"}));
}

TEST(ExternalProgram, DirectoryAndPathsThatCannotBeQuoted) {
    EXPECT_EQ(ExternalProgramDirectory("C:\\a\\b\\run.bat"), "C:\\a\\b\\");
    EXPECT_EQ(ExternalProgramDirectory("C:/a/run.bat"), "C:/a/");
    EXPECT_EQ(ExternalProgramDirectory("run.bat"), "");
    Events ev;
    FakeLauncher launcher{ev};
    for (const std::string& path : {std::string("C:\\a\" & del x.exe"), std::string("C:\\a\0b", 6),
                                   std::string()})
        EXPECT_EQ(RunExternalProgram(launcher, path, nullptr, 100, 10),
                  ExternalProgramOutcome::NotStarted);
    EXPECT_EQ(launcher.starts, 0);
}

}  // namespace
}  // namespace velt::test
