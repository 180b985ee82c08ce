#include "status/power_actions.h"

#include <gtest/gtest.h>

#include <thread>

#include "fakes.h"
#include "power_fakes.h"

namespace velt::test {
namespace {

using namespace power;

struct PowerActions : ::testing::Test {
    Events events;
    VirtualTime time;
    FakeLock lock;
    FakeLog log;
    TUPSSettings settings;
    FakePowerServices services{events};
    FakeReportTimers timers{events};
    FakeWorker worker{events};
    FakeExit exitFlag{events};
    FakePump pump{events};
    unsigned major = 6;

    TPowerActions Make() {
        return TPowerActions({services, settings, lock, log, timers, worker, exitFlag, pump, time, major});
    }

    // Whether a thread other than the main one could take the lock now.
    bool LockFreeForOthers() {
        bool got = false;
        std::thread other([&] {
            got = lock.m.try_lock();
            if (got) lock.m.unlock();
        });
        other.join();
        return got;
    }
};

// --- Availability and registration ---------------------------------------------

TEST_F(PowerActions, AvailabilityFollowsEachQueryAndAbsentQueriesStayAbsent) {
    services.suspendAllowed = false;
    services.hibernateAllowed = std::nullopt;
    const auto a = Make().PowerActionsAvailable();
    EXPECT_EQ(a.sleep, std::optional<bool>(false));
    EXPECT_EQ(a.hibernate, std::nullopt);
    EXPECT_EQ(a.shutdown, std::optional<bool>(true));
}

TEST_F(PowerActions, PowerSchemeNotificationsOnlyFromVistaOn) {
    major = 5;
    Make().RegisterPowerSchemeNotification();
    EXPECT_TRUE(events.empty());
    major = 6;
    Make().RegisterPowerSchemeNotification();
    EXPECT_EQ(events, Events{"register"});
}

// --- Shutdown -------------------------------------------------------------------

TEST_F(PowerActions, ShutdownStopsTheWorkerThenAllowsTheCloseThenPowersOff) {
    worker.waitsUntilFinished = 3;
    Make().ShutdownComputer();
    EXPECT_EQ(events, (Events{"privilege", "terminate", "free", "exit requested", "PowerOff"}));
    // The worker's hand-off could be waiting on this thread: sent messages ran.
    EXPECT_GE(pump.sent, 4);
    EXPECT_EQ(pump.messages, 0);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(PowerActions, ForceShutdownOnlyCountsUpToMajorVersionFive) {
    settings.ForceShutdown = true;
    major = 5;
    Make().ShutdownComputer();
    EXPECT_EQ(events.back(), "PowerOff forced");
    major = 6;
    Make().ShutdownComputer();
    EXPECT_EQ(events.back(), "PowerOff");
}

TEST_F(PowerActions, ShutdownNotAllowedOrWithoutPrivilegeDoesNothing) {
    services.shutdownAllowed = false;
    Make().ShutdownComputer();
    services.shutdownAllowed = std::nullopt;
    Make().ShutdownComputer();
    EXPECT_TRUE(events.empty());
    services.shutdownAllowed = true;
    services.privilegeOk = false;
    Make().ShutdownComputer();
    EXPECT_EQ(events, Events{"privilege"});
    EXPECT_FALSE(exitFlag.requested);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(PowerActions, WorkerThatDoesNotEndIsLeftAloneAfterABoundedWait) {
    worker.waitsUntilFinished = -1;
    Make().ShutdownComputer();
    EXPECT_EQ(events, (Events{"privilege", "terminate", "exit requested", "PowerOff"}));
    EXPECT_EQ(time.SumSleeps(), TPowerActions::kWorkerWaitMs);
}

TEST_F(PowerActions, FailingWorkerStepDoesNotStopTheNext) {
    worker.throwOnTerminate = true;
    Make().ShutdownComputer();
    EXPECT_EQ(events, (Events{"privilege", "terminate", "free", "exit requested", "PowerOff"}));
}

TEST_F(PowerActions, RefusedPowerOffIsLogged) {
    services.powerOffOk = false;
    Make().ShutdownComputer();
    EXPECT_EQ(log.lines, Events{"ExitWindowsEx failed! Access is denied"});
}

// --- Suspend and hibernate ----------------------------------------------------

TEST_F(PowerActions, SuspendLogsStopsTheReportsSleepsThenRunsMessages) {
    settings.ForceSuspend = true;
    major = 5;
    Make().SuspendComputer();
    EXPECT_EQ(log.lines, Events{"Suspend Mode"});
    EXPECT_EQ(events, (Events{"report timers off", "SetSuspendState sleep forced", "pump"}));
    events.clear();
    major = 6;
    Make().SuspendComputer();
    EXPECT_EQ(events, (Events{"report timers off", "SetSuspendState sleep", "pump"}));
}

TEST_F(PowerActions, SuspendNotPossibleStillRunsMessagesOnce) {
    services.suspendAllowed = false;
    Make().SuspendComputer();
    services.suspendAllowed = true;
    services.hasSetSuspendState = false;
    Make().SuspendComputer();
    EXPECT_EQ(events, (Events{"pump", "pump"}));
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(PowerActions, HibernateIsNeverForcedAndNotPossibleDoesNothing) {
    settings.ForceSuspend = true;
    major = 5;
    Make().HibernateComputer();
    EXPECT_EQ(log.lines, Events{"Hibernate"});
    EXPECT_EQ(events, (Events{"report timers off", "SetSuspendState hibernate", "pump"}));
    events.clear();
    services.hibernateAllowed = false;
    Make().HibernateComputer();
    EXPECT_TRUE(events.empty());
}

// --- Power broadcasts -----------------------------------------------------------

TEST_F(PowerActions, BroadcastsAreLoggedWithFourUpperCaseHexDigits) {
    auto actions = Make();
    for (const uint64_t code : {0x0004ull, 0x0012ull, 0x8013ull, 0xabcdeull})
        actions.WMPowerBroadcast(code);
    EXPECT_EQ(log.lines, (Events{"WM_POWERBROADCAST 0x0004", "WM_POWERBROADCAST 0x0012",
                                 "WM_POWERBROADCAST 0x8013", "WM_POWERBROADCAST 0xABCDE"}));
}

TEST_F(PowerActions, SuspendHoldsTheLockUntilTheResume) {
    auto actions = Make();
    actions.WMPowerBroadcast(kPbtApmSuspend);
    EXPECT_EQ(lock.depth, 1);
    EXPECT_FALSE(LockFreeForOthers());
    EXPECT_EQ(events, Events{"report timers off"});
    actions.WMPowerBroadcast(kPbtApmResumeAutomatic);
    EXPECT_EQ(lock.depth, 0);
    EXPECT_TRUE(LockFreeForOthers());
    EXPECT_EQ(events.back(), "pump");
}

TEST_F(PowerActions, DoubleSuspendThenOneResumeLeavesTheLockFree) {
    auto actions = Make();
    actions.WMPowerBroadcast(kPbtApmSuspend);
    actions.WMPowerBroadcast(kPbtApmSuspend);
    EXPECT_EQ(lock.depth, 1);
    actions.WMPowerBroadcast(kPbtApmResumeAutomatic);
    EXPECT_EQ(lock.depth, 0);
    EXPECT_TRUE(LockFreeForOthers());
    // A resume without a suspend before it releases nothing.
    actions.WMPowerBroadcast(kPbtApmResumeAutomatic);
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(PowerActions, CriticalResumeReleasesOnlyUpToMajorVersionFive) {
    major = 6;
    auto vista = Make();
    vista.WMPowerBroadcast(kPbtApmSuspend);
    vista.WMPowerBroadcast(kPbtApmResumeCritical);
    EXPECT_TRUE(vista.HoldsLockForSuspend());
    vista.WMPowerBroadcast(kPbtApmResumeAutomatic);
    EXPECT_EQ(lock.depth, 0);

    major = 5;
    auto xp = Make();
    xp.WMPowerBroadcast(kPbtApmSuspend);
    xp.WMPowerBroadcast(kPbtApmResumeCritical);
    EXPECT_EQ(lock.depth, 0);
    xp.WMPowerBroadcast(kPbtApmResumeAutomatic);  // the usual follow-up: nothing to release
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(PowerActions, OtherBroadcastsOnlyLog) {
    auto actions = Make();
    actions.WMPowerBroadcast(0x000A);
    actions.WMPowerBroadcast(0x8013);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(lock.acquisitions, 0);
}

TEST_F(PowerActions, ShutdownDuringASuspendHoldReleasesTheLockFirst) {
    auto actions = Make();
    actions.WMPowerBroadcast(kPbtApmSuspend);
    events.clear();
    worker.waitsUntilFinished = 1;
    int depthWhenStopping = -1;
    worker.onTerminate = [&] { depthWhenStopping = lock.depth; };
    actions.ShutdownComputer();
    EXPECT_EQ(depthWhenStopping, 0);  // the worker may be waiting for it
    EXPECT_EQ(lock.depth, 0);
    EXPECT_FALSE(actions.HoldsLockForSuspend());
    EXPECT_EQ(events.front(), "privilege");
}

TEST_F(PowerActions, SuspendHoldIsGivenBackWhenTheActionsGoAway) {
    {
        auto actions = Make();
        actions.WMPowerBroadcast(kPbtApmSuspend);
    }
    EXPECT_EQ(lock.depth, 0);
}

}  // namespace
}  // namespace velt::test
