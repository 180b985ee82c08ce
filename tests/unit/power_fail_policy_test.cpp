#include "status/power_fail_policy.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "power_fakes.h"

namespace velt::test {
namespace {

using namespace power;

// Records the lock depth at each write, so a test can see the exchange ran
// under the data lock.
struct LockWatchingSerial : FakeSerial {
    FakeLock& lock;
    Events& events;
    std::vector<int> depthAtWrite;
    LockWatchingSerial(VirtualTime& t, FakeLock& l, Events& e) : FakeSerial(t), lock(l), events(e) {}
    bool StartWrite(const uint8_t* d, size_t len) override {
        depthAtWrite.push_back(lock.depth);
        events.push_back("UPS " + std::string(reinterpret_cast<const char*>(d), len - 1));
        return FakeSerial::StartWrite(d, len);
    }
};

struct Countdown : ::testing::Test {
    Events events;
    VirtualTime time;
    FakeLock lock;
    FakeLog log;
    RecordingTimer timer;
    TUPSSettings settings;
    FakeComputerActions actions{events};
    FakeLauncher launcher{events};
    FakePump pump{events};
    TUPSLink link;
    LockWatchingSerial* serial = nullptr;
    TPowerFailPolicy policy{{timer, settings, actions, link, lock, time, log, launcher, pump}};

    void SetUp() override {
        auto port = std::make_unique<LockWatchingSerial>(time, lock, events);
        serial = port.get();
        link.ComHandle = std::move(port);
        link.ComActive = true;
        settings.Delay = 600;
        settings.MinVoltage = 110;
        settings.DelayAction = true;
        settings.VoltageAction = false;
    }
    void Expire() { policy.DelayTimerTimer(); }
};

// --- Arming and cancelling ---------------------------------------------------

TEST_F(Countdown, DelayRuleArmsOnceAtTheStartOfAFailure) {
    policy.OnStatusReply(true, 13.5);
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(timer.interval, 600000u);
    // A later reply of the same failure, even after the delay changed, neither
    // re-arms nor restarts the count.
    const auto opsAfterStart = timer.ops;
    settings.Delay = 30;
    policy.OnStatusReply(true, 13.4);
    policy.PowerFailBegins();
    EXPECT_EQ(timer.ops, opsAfterStart);
    EXPECT_EQ(timer.interval, 600000u);
}

TEST_F(Countdown, ExpiredDelayIsNotStartedAgainDuringTheSameFailure) {
    policy.OnStatusReply(true, 13.5);
    Expire();
    policy.OnStatusReply(true, 13.0);
    policy.OnStatusReply(true, 12.5);
    EXPECT_FALSE(timer.enabled);
}

TEST_F(Countdown, DelayRuleOffOrBothOffArmsNothing) {
    settings.DelayAction = false;
    policy.OnStatusReply(true, 10.0);
    EXPECT_TRUE(timer.ops.empty());
    EXPECT_TRUE(policy.InFailure());
}

TEST_F(Countdown, StoredDelayOutsideItsRangeIsBroughtIntoIt) {
    settings.Delay = 0;
    policy.OnStatusReply(true, 13.5);
    EXPECT_EQ(timer.interval, 10000u);
    policy.OnStatusReply(false, 13.5);
    settings.Delay = 50000;
    policy.OnStatusReply(true, 13.5);
    EXPECT_EQ(timer.interval, 10800000u);
}

TEST_F(Countdown, VoltageRuleWinsWithinTheSameReply) {
    settings.VoltageAction = true;
    policy.OnStatusReply(true, 10.9);
    EXPECT_EQ(timer.ops, (Events{"interval 600000", "enable", "disable", "interval 100", "enable"}));
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(timer.interval, 100u);
}

TEST_F(Countdown, VoltageRuleNeedsAVoltageStrictlyBelowTheMinimum) {
    settings.VoltageAction = true;
    policy.OnStatusReply(true, 11.0);
    EXPECT_EQ(timer.interval, 600000u);
    settings.VoltageAction = false;
    policy.OnStatusReply(true, 10.0);
    EXPECT_EQ(timer.interval, 600000u);
}

TEST_F(Countdown, VoltageRuleRearmsOnEveryQualifyingReply) {
    settings.DelayAction = false;
    settings.VoltageAction = true;
    policy.OnStatusReply(true, 10.5);
    Expire();
    policy.OnStatusReply(true, 10.4);
    EXPECT_TRUE(timer.enabled);
    policy.OnStatusReply(true, 10.3);
    const Events one{"disable", "interval 100", "enable"};
    Events expected = one;
    expected.push_back("disable");  // the expiry
    for (int i = 0; i < 2; ++i) expected.insert(expected.end(), one.begin(), one.end());
    EXPECT_EQ(timer.ops, expected);
}

TEST_F(Countdown, OnlyThePowerReturnCancels) {
    settings.VoltageAction = true;
    policy.OnStatusReply(true, 13.5);
    policy.OnStatusReply(true, 13.0);  // no other reply of the failure touches it
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(timer.ops.size(), 2u);
    policy.OnStatusReply(false, 13.5);
    EXPECT_FALSE(timer.enabled);
    EXPECT_FALSE(policy.InFailure());
    // A reply with mains present and no failure before does not touch the timer.
    const auto ops = timer.ops;
    policy.OnStatusReply(false, 13.5);
    EXPECT_EQ(timer.ops, ops);
    // The next failure is a new one: the delay arms again.
    policy.OnStatusReply(true, 13.5);
    EXPECT_TRUE(timer.enabled);
    EXPECT_EQ(timer.interval, 600000u);
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
    Expire();
    EXPECT_FALSE(timer.enabled);
    EXPECT_EQ(events, GetParam().expected);
    EXPECT_EQ(lock.depth, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ExpiryAction,
    ::testing::Values(ActionCase{1, {"UPS S05", "Shutdown"}}, ActionCase{2, {"Suspend"}},
                      ActionCase{3, {"UPS S05", "Hibernate"}}, ActionCase{4, {}},
                      ActionCase{0, {}}, ActionCase{9, {}}));

TEST_F(Countdown, UPSShutdownOffSendsNoCommand) {
    settings.Action = 1;
    settings.UPSShutdown = false;
    Expire();
    EXPECT_EQ(events, Events{"Shutdown"});
    EXPECT_TRUE(serial->written.empty());
}

TEST_F(Countdown, UPSShutdownCommandCarriesTheDelayAsTwoDigitsUnderTheLock) {
    settings.Action = 1;
    settings.UPSShutdown = true;
    for (const int minutes : {1, 5, 12, 60}) {
        settings.UPSShutdownDelay = minutes;
        Expire();
    }
    EXPECT_EQ(serial->written, "S01\rS05\rS12\rS60\r");
    EXPECT_EQ(serial->depthAtWrite, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(Countdown, SilentUPSStillLetsTheActionFollow) {
    settings.Action = 3;
    settings.UPSShutdown = true;
    serial->reply.clear();
    Expire();
    EXPECT_EQ(events, (Events{"UPS S05", "Hibernate"}));
}

TEST_F(Countdown, ExternalProgramRunsFirstAndTheActionWaitsForItsEnd) {
    settings.Action = 1;
    settings.UPSShutdown = true;
    settings.ExternalProgramRun = true;
    settings.ExternalProgramName = "C:\\Tools\\save state.cmd";
    launcher.runSteps = 3;
    Expire();
    EXPECT_EQ(launcher.commandLine, "\"C:\\Tools\\save state.cmd\" ");
    EXPECT_EQ(launcher.workingDirectory, "C:\\Tools\\");
    // Three 100 ms waits that found it running, each followed by the messages.
    EXPECT_EQ(launcher.waits, (std::vector<unsigned>{100, 100, 100, 100}));
    EXPECT_EQ(events, (Events{"program started", "pump", "pump", "pump", "program ended",
                              "UPS S05", "Shutdown"}));
}

TEST_F(Countdown, ProgramThatCannotStartOrHasNoPathStillLetsTheActionFollow) {
    settings.Action = 2;
    settings.ExternalProgramRun = true;
    launcher.startOk = false;
    settings.ExternalProgramName = "C:\\missing.exe";
    Expire();
    settings.ExternalProgramName.reset();
    Expire();
    settings.ExternalProgramName = "";
    Expire();
    EXPECT_EQ(events, (Events{"Suspend", "Suspend", "Suspend"}));
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(Countdown, ProgramThatNeverEndsIsWaitedForBoundedThenTheActionFollows) {
    settings.Action = 1;
    settings.ExternalProgramRun = true;
    settings.ExternalProgramName = "C:\\hang.exe";
    launcher.runSteps = 1 << 30;
    Expire();
    EXPECT_EQ(pump.messages, static_cast<int>(TPowerFailPolicy::kProgramMaxSteps));
    EXPECT_EQ(events.back(), "Shutdown");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "External program still running after 10 minutes; continuing");
}

TEST_F(Countdown, ActionFollowsEvenWhenTheMainsReturnedDuringTheProgram) {
    settings.Action = 1;
    settings.ExternalProgramRun = true;
    settings.ExternalProgramName = "C:\\save.exe";
    launcher.runSteps = 1;
    policy.OnStatusReply(true, 13.5);
    pump.onMessages = [&] { policy.OnStatusReply(false, 13.5); };
    Expire();
    EXPECT_EQ(events.back(), "Shutdown");
}

// A reply processed during the program's wait re-arms the 100 ms countdown,
// which expires while the first expiry still waits.
TEST_F(Countdown, ExpiryDuringTheProgramWaitDoesNotStartTheProgramAgain) {
    settings.Action = 4;
    settings.DelayAction = false;
    settings.VoltageAction = true;
    settings.ExternalProgramRun = true;
    settings.ExternalProgramName = "C:\\notify.exe";
    launcher.runSteps = 2;
    pump.onMessages = [&] {
        policy.OnStatusReply(true, 10.0);
        ASSERT_TRUE(timer.enabled);
        policy.DelayTimerTimer();
        EXPECT_FALSE(timer.enabled);  // consumed, not left to fire again
    };
    policy.OnStatusReply(true, 10.0);
    Expire();
    EXPECT_EQ(launcher.starts, 1);
    EXPECT_FALSE(policy.Acting());
    // Once the first run is over, the next qualifying reply runs it again.
    pump.onMessages = nullptr;
    policy.OnStatusReply(true, 10.0);
    Expire();
    EXPECT_EQ(launcher.starts, 2);
}

TEST_F(Countdown, NestedExpiryDuringTheActionDoesNotRepeatTheAction) {
    settings.Action = 2;
    actions.during = [&] { policy.DelayTimerTimer(); };
    Expire();
    EXPECT_EQ(events, Events{"Suspend"});
}

TEST_F(Countdown, ActionThatThrowsDoesNotLeaveTheCountdownActing) {
    settings.Action = 1;
    actions.during = [] { throw std::runtime_error("boom"); };
    EXPECT_THROW(Expire(), std::runtime_error);
    EXPECT_FALSE(policy.Acting());
    actions.during = nullptr;
    Expire();
    EXPECT_EQ(events, (Events{"Shutdown", "Shutdown"}));
}

// --- The external program on its own ----------------------------------------

TEST(ExternalProgram, WorkingDirectoryIsThePathUpToItsLastSeparator) {
    EXPECT_EQ(ExternalProgramDirectory("C:\\a\\b\\run.bat"), "C:\\a\\b\\");
    EXPECT_EQ(ExternalProgramDirectory("C:/a/run.bat"), "C:/a/");
    EXPECT_EQ(ExternalProgramDirectory("run.bat"), "");
    EXPECT_EQ(ExternalProgramDirectory("C:\\run.bat"), "C:\\");
}

TEST(ExternalProgram, PathThatCannotBeQuotedIsNotStarted) {
    Events events;
    FakeLauncher launcher{events};
    const auto run = [&](const std::string& path) {
        return RunExternalProgram(launcher, path, nullptr, 100, 10);
    };
    EXPECT_EQ(run("C:\\a\" & del x.exe"), ExternalProgramOutcome::NotStarted);
    EXPECT_EQ(run(std::string("C:\\a.exe\0 b", 11)), ExternalProgramOutcome::NotStarted);
    EXPECT_EQ(launcher.starts, 0);
}

TEST(ExternalProgram, FailedWaitEndsTheWait) {
    Events events;
    FakeLauncher launcher{events};
    launcher.runSteps = 100;
    launcher.failWait = true;
    int pumped = 0;
    EXPECT_EQ(RunExternalProgram(launcher, "C:\\x.exe", [&] { ++pumped; }, 100, 50),
              ExternalProgramOutcome::Ended);
    EXPECT_EQ(pumped, 0);
}

}  // namespace
}  // namespace velt::test
