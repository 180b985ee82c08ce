#include "status/power_actions.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <thread>

#include "fakes.h"
#include "power_fakes.h"

namespace velt::test {
namespace {

using namespace power;

struct ActionsRig : ::testing::Test {
    Events ev;
    VirtualTime time;
    FakeLock lock;
    FakeLog log;
    TUPSSettings settings;
    FakePowerServices services{ev};
    FakeHost host{ev};
    FakeWorker worker{ev};
    FakePump pump{ev};
    uint32_t major = 6;

    PowerActions Make() {
        return PowerActions({services, settings, lock, log, host, worker, host, pump, time, major});
    }
    bool LockFreeForOtherThreads() {
        bool got = false;
        std::thread([&] {
            if ((got = lock.m.try_lock())) lock.m.unlock();
        }).join();
        return got;
    }
};

TEST_F(ActionsRig, PowerSchemeNotificationsOnlyFromVistaOn) {
    major = 5;
    Make().RegisterPowerSchemeNotification();
    EXPECT_TRUE(ev.empty());
    major = 6;
    Make().RegisterPowerSchemeNotification();
    EXPECT_EQ(ev, Events{"register"});
}

TEST_F(ActionsRig, ShutdownStopsTheWorkerThenAllowsTheCloseThenPowersOffSilently) {
    worker.busyChecks = 3;
    Make().ShutdownComputer();
    EXPECT_EQ(ev, (Events{"privilege", "terminate", "join", "exit requested", "power off"}));
    EXPECT_EQ(pump.sent, 4);  // the worker's hand-off may be waiting on this thread
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(ActionsRig, ForcingOnlyUpToMajorVersionFiveAndNeverForHibernation) {
    settings.ForceShutdown = settings.ForceSuspend = true;
    for (const uint32_t m : {5u, 6u}) {
        major = m;
        auto actions = Make();
        actions.ShutdownComputer();
        actions.SuspendComputer();
        actions.HibernateComputer();
    }
    Events powered;
    for (const auto& e : ev)
        if (e.starts_with("power") || e.starts_with("sleep") || e.starts_with("hibernate"))
            powered.push_back(e);
    EXPECT_EQ(powered, (Events{"power off forced", "sleep forced", "hibernate", "power off", "sleep",
                               "hibernate"}));
}

TEST_F(ActionsRig, ShutdownNotAllowedOrWithoutPrivilegeDoesNothing) {
    services.shutdownAllowed = std::nullopt;
    Make().ShutdownComputer();
    services.shutdownAllowed = false;
    Make().ShutdownComputer();
    services.shutdownAllowed = true;
    services.privilegeOk = false;
    Make().ShutdownComputer();
    EXPECT_EQ(ev, Events{"privilege"});
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(ActionsRig, WorkerThatDoesNotEndIsNotFreedAndARefusedPowerOffIsLogged) {
    worker.busyChecks = -1;
    services.powerOffOk = false;
    Make().ShutdownComputer();
    EXPECT_EQ(ev, (Events{"privilege", "terminate", "exit requested", "power off"}));
    EXPECT_EQ(time.SumSleeps(), PowerActions::kWorkerWaitMs);
    EXPECT_EQ(log.lines, Events{"ExitWindowsEx failed! Access is denied"});
}

// A failing step of the worker stop is logged, and the shutdown still goes through.
TEST_F(ActionsRig, AFailedWorkerStopIsLoggedAndThePowerOffGoesAhead) {
    const struct {
        std::function<void()> fail;
        const char* logged;
    } cases[] = {
        {[] { throw std::runtime_error("thread handle invalid"); }, "I/O Thread stop failed! thread handle invalid"},
        {[] { throw 42; }, "I/O Thread stop failed! unknown exception"},
    };
    for (const auto& c : cases) {
        ev.clear();
        log.lines.clear();
        worker.busyChecks = 0;  // ends at once
        worker.onTerminate = c.fail;
        Make().ShutdownComputer();
        EXPECT_EQ(log.lines, Events{c.logged});
        EXPECT_EQ(ev, (Events{"privilege", "terminate", "join", "exit requested", "power off"}));
    }
}

TEST_F(ActionsRig, SuspendAndHibernateLogStopTheReportsAndRunMessages) {
    Make().SuspendComputer();
    Make().HibernateComputer();
    EXPECT_EQ(log.lines, (Events{"Suspend Mode", "Hibernate"}));
    EXPECT_EQ(ev, (Events{"reports off", "sleep", "pump", "reports off", "hibernate", "pump"}));
}

TEST_F(ActionsRig, ImpossibleSuspendOnlyRunsMessagesAndImpossibleHibernateNothing) {
    services.suspendAllowed = services.hibernateAllowed = false;
    Make().SuspendComputer();
    Make().HibernateComputer();
    services.suspendAllowed = services.hibernateAllowed = true;
    services.hasSetSuspendState = false;
    Make().SuspendComputer();
    Make().HibernateComputer();
    EXPECT_EQ(ev, (Events{"pump", "pump"}));
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(ActionsRig, BroadcastsAreLoggedWithAtLeastFourUpperCaseHexDigits) {
    auto actions = Make();
    for (const uint64_t code : {0x0Aull, 0x8013ull, 0xabcdeull}) actions.WMPowerBroadcast(code);
    EXPECT_EQ(log.lines, (Events{"WM_POWERBROADCAST 0x000A", "WM_POWERBROADCAST 0x8013",
                                 "WM_POWERBROADCAST 0xABCDE"}));
    EXPECT_TRUE(ev.empty());
    EXPECT_EQ(lock.acquisitions, 0);
}

TEST_F(ActionsRig, DoubleSuspendThenOneResumeLeavesTheLockFree) {
    auto actions = Make();
    actions.WMPowerBroadcast(kPbtApmSuspend);
    actions.WMPowerBroadcast(kPbtApmSuspend);
    EXPECT_FALSE(LockFreeForOtherThreads());
    actions.WMPowerBroadcast(kPbtApmResumeAutomatic);
    EXPECT_EQ(lock.depth, 0);
    EXPECT_TRUE(LockFreeForOtherThreads());
    actions.WMPowerBroadcast(kPbtApmResumeAutomatic);  // nothing held, nothing released
    EXPECT_EQ(lock.depth, 0);
    EXPECT_EQ(ev, (Events{"reports off", "reports off", "reports on", "pump", "reports on", "pump"}));
    EXPECT_EQ(log.lines.front(), "WM_POWERBROADCAST 0x0004");
}

TEST_F(ActionsRig, CriticalResumeReleasesOnlyUpToMajorVersionFive) {
    auto vista = Make();
    vista.WMPowerBroadcast(kPbtApmSuspend);
    vista.WMPowerBroadcast(kPbtApmResumeCritical);
    EXPECT_TRUE(vista.HoldsLockForSuspend());
    vista.WMPowerBroadcast(kPbtApmResumeAutomatic);
    major = 5;
    auto xp = Make();
    xp.WMPowerBroadcast(kPbtApmSuspend);
    xp.WMPowerBroadcast(kPbtApmResumeCritical);
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(ActionsRig, ShutdownDuringASuspendReleasesTheLockBeforeStoppingTheWorker) {
    auto actions = Make();
    actions.WMPowerBroadcast(kPbtApmSuspend);
    int depthWhenStopping = -1;
    worker.onTerminate = [&] { depthWhenStopping = lock.depth; };
    actions.ShutdownComputer();
    EXPECT_EQ(depthWhenStopping, 0);
    EXPECT_EQ(lock.depth, 0);
}

}  // namespace
}  // namespace velt::test
