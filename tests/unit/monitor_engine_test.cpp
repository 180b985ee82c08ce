#include "app/monitor_engine.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "app/silent_views.h"
#include "main_form_rig.h"

namespace velt::test {
namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != l.npos; });
}

// The monitor with no window at all: one unit on COM1, polled by the worker's
// own cycle on virtual time, from normal power through a mains failure and
// its countdown to the shutdown.
TEST(MonitorEngine, WithNoWindowAMainsFailureCountsDownToTheShutdown) {
    SystemRig rig;
    SilentViews silent;
    MonitorEngine engine(silent.Views(), rig.System());
    std::string status = "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r";
    rig.ports.present = {{1, true}};
    rig.ports.responder = [&](const std::string& command) {
        return command.rfind("Q1\r", 0) == 0 ? status : std::string();
    };
    engine.Live().Action = static_cast<int32_t>(PowerFailAction::Shutdown);
    engine.Live().Delay = 60;
    engine.StartAExecute();
    ASSERT_TRUE(engine.Link().Monitoring);
    ReadData worker(engine.Link(), rig.lock, rig.time, rig.time,
                     {nullptr, [&](WorkerMessage m) { engine.OnWorkerMessage(m); }});

    worker.Cycle();
    const auto normal = engine.Shown().Current();
    EXPECT_TRUE(normal->upsFound && normal->live.responding && normal->replied);
    EXPECT_FALSE(rig.delayTimer.enabled);

    status = "(000.0 230.0 229.0 013 50.0 13.4 25.0 10001001\r";
    worker.Cycle();
    EXPECT_TRUE(rig.delayTimer.enabled);
    EXPECT_TRUE(Contains(engine.EventLog().Lines(), "Power Fail"));
    const auto failing = engine.Shown().Current();
    ASSERT_TRUE(failing->live.countdownSeconds);
    EXPECT_GT(*failing->live.countdownSeconds, 50);

    engine.PowerFailPolicy().DelayTimerTimer();
    EXPECT_TRUE(Contains(rig.events, "power off"));
    EXPECT_TRUE(engine.ExitRequested());
    EXPECT_EQ(rig.lock.depth, 0);
}

// A service has nobody to press Start: a UPS silent at the start is tried
// again every 30 s, said once in the log, until it answers. The window's
// monitor waits for its user instead.
TEST(MonitorEngine, AServiceTriesAgainUntilTheUPSAnswers) {
    for (const bool service : {false, true}) {
        SCOPED_TRACE(service ? "service" : "window");
        SystemRig rig;
        MonitorSystem system = rig.System();
        system.host = service ? MonitorHost::Service : MonitorHost::Window;
        SilentViews silent;
        MonitorEngine engine(silent.Views(), system);
        bool answering = false;
        rig.ports.present = {{1, true}};
        rig.ports.responder = [&](const std::string& command) {
            return answering && command.rfind("Q1\r", 0) == 0 ? "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r"
                                                                : std::string();
        };
        engine.StartAExecute();
        EXPECT_FALSE(engine.Link().Monitoring);
        EXPECT_EQ(rig.startTimer.enabled, service);
        if (!service) continue;
        EXPECT_EQ(rig.startTimer.interval, 30000u);
        engine.StartTimerTimer();
        EXPECT_TRUE(rig.startTimer.enabled);
        const auto& lines = engine.EventLog().Lines();
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.find("tries again") != l.npos; }),
                  1);
        answering = true;
        engine.StartTimerTimer();
        EXPECT_TRUE(engine.Link().Monitoring);
        EXPECT_FALSE(rig.startTimer.enabled);
    }
}

}  // namespace
}  // namespace velt::test
