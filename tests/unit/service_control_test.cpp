// The service control handler against a recording control manager and a host
// that only notes what it was asked to do.
#include "app/service_control.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ostream>
#include <thread>
#include <vector>

#include "fakes.h"

namespace velt {

// Readable failures.
static void PrintTo(const ServiceStatus& s, std::ostream* os) {
    *os << "{state " << static_cast<int>(s.state) << ", controls " << s.controls.stop << s.controls.shutdown
        << s.controls.preshutdown << s.controls.powerEvent << s.controls.paramChange << ", hint " << s.waitHintMs
        << ", check point " << s.checkPoint << ", exit " << s.win32ExitCode << "/" << s.serviceExitCode << "}";
}

namespace {

using Code = ServiceControlCode;
using State = ServiceState;

struct RecordingManager : IServiceStatusSink {
    std::vector<ServiceStatus> reports;
    bool Report(const ServiceStatus& status) override {
        reports.push_back(status);
        return true;
    }
};

struct FakeHost : IServiceHost {
    std::atomic<int> beginStops{0};
    int reloads = 0;
    std::vector<PowerEventCode> events;
    std::atomic<bool> action{false};
    void BeginStop() override { ++beginStops; }
    void Reload() override { ++reloads; }
    void PowerEvent(PowerEventCode event) override { events.push_back(event); }
    bool ActionUnderWay() const override { return action; }
};

constexpr ServiceTimings kTimings;

struct Rig {
    RecordingManager manager;
    FakeHost host;
    test::VirtualTime time;
    ServiceControl control;

    explicit Rig(bool preshutdown = false) : control(manager, host, time, ServiceOptions{preshutdown, kTimings}) {}

    void Run() {
        control.BeginStart();
        control.Started();
    }
    ControlResult Send(Code code, PowerEventCode event = {}) { return control.Handle({code, event}); }
    void Ticks(int count) {  // a second apart
        for (int i = 0; i < count; ++i) {
            time.nowMs += 1000;
            control.Tick();
        }
    }
    const ServiceStatus& Last() const { return manager.reports.back(); }
};

ServiceStatus Pending(State state, uint32_t waitHintMs, uint32_t checkPoint) {
    ServiceStatus s;
    s.state = state;
    s.waitHintMs = waitHintMs;
    s.checkPoint = checkPoint;
    return s;
}

ServiceStatus Stopped(ServiceExit exit = {}) {
    ServiceStatus s;
    s.win32ExitCode = exit.win32ExitCode;
    s.serviceExitCode = exit.serviceExitCode;
    return s;
}

// --- The start ---

TEST(ServiceStart, PendingWithRisingCheckPointsThenRunningWithItsControls) {
    Rig rig;
    ASSERT_TRUE(rig.control.BeginStart());
    rig.Ticks(2);
    rig.control.Started();
    const ServiceStatus running{.state = State::Running,
                                .controls = {.stop = true, .shutdown = true, .powerEvent = true, .paramChange = true}};
    const std::vector<ServiceStatus> expected{Pending(State::StartPending, kTimings.startWaitHintMs, 1),
                                              Pending(State::StartPending, kTimings.startWaitHintMs, 2),
                                              Pending(State::StartPending, kTimings.startWaitHintMs, 3), running};
    EXPECT_EQ(rig.manager.reports, expected);
    rig.Ticks(3);  // nothing pending: nothing to tell
    EXPECT_EQ(rig.manager.reports.size(), expected.size());
}

TEST(ServiceStart, FailedStartReportsStoppedWithItsExitCodeAndStaysSo) {
    Rig rig;
    rig.control.BeginStart();
    rig.control.Ended({.serviceExitCode = 3});
    EXPECT_EQ(rig.Last(), Stopped({.serviceExitCode = 3}));
    const size_t reports = rig.manager.reports.size();
    rig.control.Started();  // late: the service has ended
    rig.control.BeginStart();
    rig.control.Ended();
    rig.Ticks(2);
    EXPECT_EQ(rig.manager.reports.size(), reports);
    EXPECT_EQ(rig.control.Current(), Stopped({.serviceExitCode = 3}));
}

// --- The stops ---

struct StopCase {
    Code code;
    bool preshutdown;  // asked for at the start
};

class ServiceStop : public testing::TestWithParam<StopCase> {};

TEST_P(ServiceStop, StopPendingThenTheHostsStopOnceThenStopped) {
    Rig rig(GetParam().preshutdown);
    rig.Run();
    EXPECT_EQ(rig.Send(GetParam().code), ControlResult::NoError);
    EXPECT_EQ(rig.Last(), Pending(State::StopPending, kTimings.stopWaitHintMs, 1));
    EXPECT_EQ(rig.host.beginStops, 1);
    rig.Ticks(3);
    EXPECT_EQ(rig.Last(), Pending(State::StopPending, kTimings.stopWaitHintMs, 4));
    rig.control.Ended();
    EXPECT_EQ(rig.Last(), Stopped());
    EXPECT_EQ(rig.host.beginStops, 1);
}

// The manager sends no control while stopping, but a second one must not
// start a second stop nor set the check points back.
TEST_P(ServiceStop, SecondStopWhileStoppingOnlyReportsTheStateAgain) {
    Rig rig(GetParam().preshutdown);
    rig.Run();
    rig.Send(GetParam().code);
    rig.Ticks(2);
    const ServiceStatus before = rig.Last();
    for (Code again : {Code::Stop, Code::Shutdown, GetParam().code}) {
        EXPECT_EQ(rig.Send(again), ControlResult::NoError);
        EXPECT_EQ(rig.Last(), before);
    }
    EXPECT_EQ(rig.host.beginStops, 1);
}

INSTANTIATE_TEST_SUITE_P(EachStopControl, ServiceStop,
                         testing::Values(StopCase{Code::Stop, false}, StopCase{Code::Shutdown, false},
                                         StopCase{Code::Stop, true}, StopCase{Code::Shutdown, true},
                                         StopCase{Code::Preshutdown, true}));

TEST(ServiceStopRules, PreshutdownIsTakenOnlyWhereAskedFor) {
    for (bool asked : {false, true}) {
        SCOPED_TRACE(asked);
        Rig rig(asked);
        rig.Run();
        EXPECT_EQ(rig.Last().controls.preshutdown, asked);
        EXPECT_TRUE(rig.Last().controls.shutdown);
        EXPECT_EQ(rig.Send(Code::Preshutdown),
                  asked ? ControlResult::NoError : ControlResult::NotImplemented);
        EXPECT_EQ(rig.control.Current().state, asked ? State::StopPending : State::Running);
        EXPECT_EQ(rig.host.beginStops, asked ? 1 : 0);
    }
}

TEST(ServiceStopRules, StopDuringTheStartStopsAndTheLateStartChangesNothing) {
    Rig rig;
    rig.control.BeginStart();
    rig.Send(Code::Stop);
    EXPECT_EQ(rig.host.beginStops, 1);
    rig.control.Started();
    EXPECT_EQ(rig.control.Current(), Pending(State::StopPending, kTimings.stopWaitHintMs, 1));
}

// --- A stop while a power action runs ---

TEST(ServiceStopDuringAction, HeldWithRisingCheckPointsUntilTheActionEnds) {
    Rig rig(true);
    rig.Run();
    rig.host.action = true;  // the external program's wait
    rig.Send(Code::Preshutdown);
    EXPECT_EQ(rig.Last(), Pending(State::StopPending, kTimings.stopWaitHintMs, 1));
    rig.Ticks(9 * 60);  // nine minutes of it
    EXPECT_EQ(rig.host.beginStops, 0);
    EXPECT_EQ(rig.Last(), Pending(State::StopPending, kTimings.stopWaitHintMs, 9 * 60 + 1));
    rig.Send(Code::Shutdown);  // the system's next stop of the same shutdown
    EXPECT_EQ(rig.host.beginStops, 0);
    rig.host.action = false;
    rig.Ticks(1);
    EXPECT_EQ(rig.host.beginStops, 1);
    // The same stop: the check points go on rising.
    EXPECT_EQ(rig.Last(), Pending(State::StopPending, kTimings.stopWaitHintMs, 9 * 60 + 2));
    rig.Ticks(3);
    EXPECT_EQ(rig.host.beginStops, 1);
    EXPECT_EQ(rig.Last().checkPoint, 9u * 60 + 5);
    rig.control.Ended();
    EXPECT_EQ(rig.Last(), Stopped());
}

// --- The other controls, in each phase of the service ---

enum class Phase { Starting, Running, StopHeld, Stopping, Ended };

void Reach(Rig& rig, Phase phase) {
    rig.control.BeginStart();
    if (phase == Phase::Starting) return;
    rig.control.Started();
    if (phase == Phase::Running) return;
    rig.host.action = phase == Phase::StopHeld;
    rig.Send(Code::Stop);
    if (phase == Phase::Ended) rig.control.Ended();
}

struct PhaseCase {
    Phase phase;
    State state;
    bool reloads;
    bool powerEvents;
    uint32_t boundMs;  // of the pending steps ahead, ticks of 1 s raising the check point within it
};

class ServiceControlsByPhase : public testing::TestWithParam<PhaseCase> {};

TEST_P(ServiceControlsByPhase, InterrogateReportsTheCurrentStateAgain) {
    Rig rig;
    Reach(rig, GetParam().phase);
    const ServiceStatus before = rig.Last();
    EXPECT_EQ(before.state, GetParam().state);
    EXPECT_EQ(rig.Send(Code::Interrogate), ControlResult::NoError);
    EXPECT_EQ(rig.Last(), before);
    EXPECT_EQ(rig.control.Current(), before);
}

TEST_P(ServiceControlsByPhase, ParamChangeReloadsOnlyWhileRunning) {
    Rig rig;
    Reach(rig, GetParam().phase);
    EXPECT_EQ(rig.Send(Code::ParamChange), ControlResult::NoError);
    EXPECT_EQ(rig.host.reloads, GetParam().reloads ? 1 : 0);
}

TEST_P(ServiceControlsByPhase, PowerEventsGoToALiveHostAsTheyCame) {
    Rig rig;
    Reach(rig, GetParam().phase);
    const std::vector<PowerEventCode> sent{PowerEventCode::Suspend, PowerEventCode::ResumeAutomatic,
                                           PowerEventCode::ResumeSuspend, PowerEventCode::PowerStatusChange,
                                           PowerEventCode{0x8013}};  // a power setting change
    for (PowerEventCode event : sent) EXPECT_EQ(rig.Send(Code::PowerEvent, event), ControlResult::NoError);
    EXPECT_EQ(rig.host.events, GetParam().powerEvents ? sent : std::vector<PowerEventCode>{});
}

TEST_P(ServiceControlsByPhase, UnknownControlIsNotImplementedAndChangesNothing) {
    Rig rig;
    Reach(rig, GetParam().phase);
    const size_t reports = rig.manager.reports.size();
    const ServiceStatus before = rig.control.Current();
    EXPECT_EQ(rig.Send(Code::Other), ControlResult::NotImplemented);
    EXPECT_EQ(rig.manager.reports.size(), reports);
    EXPECT_EQ(rig.control.Current(), before);
}

// A step that hangs must look hung to the manager, not busy for ever; a held
// stop goes on to the host's stop at the action's bound even if the action
// never says it ended.
TEST_P(ServiceControlsByPhase, CheckPointsRiseOnlyWithinThePendingStepsBound) {
    Rig rig;
    Reach(rig, GetParam().phase);
    const uint32_t first = rig.Last().checkPoint;
    const int rising = GetParam().boundMs ? static_cast<int>(GetParam().boundMs / 1000) - 1 : 0;
    rig.Ticks(rising + 5);
    EXPECT_EQ(rig.Last().checkPoint - first, static_cast<uint32_t>(rising));
    if (GetParam().phase == Phase::StopHeld) {
        EXPECT_EQ(rig.host.beginStops, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachPhase, ServiceControlsByPhase,
    testing::Values(PhaseCase{Phase::Starting, State::StartPending, false, false, kTimings.startLimitMs},
                    PhaseCase{Phase::Running, State::Running, true, true, 0},
                    PhaseCase{Phase::StopHeld, State::StopPending, false, true,
                              kTimings.actionLimitMs + kTimings.stopLimitMs},
                    PhaseCase{Phase::Stopping, State::StopPending, false, false, kTimings.stopLimitMs},
                    PhaseCase{Phase::Ended, State::Stopped, false, false, 0}));

// --- Two threads ---

// The controls come on the dispatcher's thread while the host ticks on its
// own: one stop, and check points that never go back.
TEST(ServiceControlThreads, ControlsAndTicksTogetherStopOnceWithCheckPointsInOrder) {
    Rig rig;
    rig.Run();
    rig.host.action = true;
    std::atomic<bool> ticking{true};
    std::thread ticker([&] {
        while (ticking) {
            rig.control.Tick();
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 200; ++i) rig.Send(i % 2 ? Code::Stop : Code::Shutdown);
    rig.host.action = false;
    for (int i = 0; i < 5000 && rig.host.beginStops == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    rig.control.Ended();
    ticking = false;
    ticker.join();
    EXPECT_EQ(rig.host.beginStops, 1);
    uint32_t lastCheckPoint = 0;
    for (const ServiceStatus& s : rig.manager.reports) {
        if (s.state != State::StopPending) continue;
        EXPECT_GE(s.checkPoint, lastCheckPoint);
        lastCheckPoint = s.checkPoint;
    }
    EXPECT_EQ(rig.Last(), Stopped());
}

}  // namespace
}  // namespace velt
