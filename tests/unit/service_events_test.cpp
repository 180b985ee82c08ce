// What the service tells the system's event log: the monitor with no window,
// one unit on COM1 polled on virtual time, through a mains failure, the
// countdown's action and the mains' return.
#include <algorithm>

#include <gtest/gtest.h>

#include "app/monitor_engine.h"
#include "app/silent_views.h"
#include "main_form_rig.h"

namespace velt::test {
namespace {

using Entry = std::pair<SystemEventLevel, std::string>;

struct RecordingEventLog : ISystemEventLog {
    std::vector<Entry> entries;
    void Report(SystemEventLevel level, const std::string& text) override { entries.emplace_back(level, text); }
};

constexpr char kMains[] = "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r";
constexpr char kBattery[] = "(000.0 230.0 229.0 013 50.0 13.4 25.0 10001001\r";

// Everything an action can do is switched on: the program, the UPS told to
// switch off, then the computer's action.
struct UnattendedRun {
    SystemRig rig;
    RecordingEventLog events;
    SilentViews silent;
    std::string status = kMains;
    MonitorEngine engine;
    ReadData worker{engine.Link(), rig.lock, rig.time, rig.time,
                    {nullptr, [this](WorkerMessage m) { engine.OnWorkerMessage(m); }}};

    UnattendedRun(bool service, PowerFailAction action) : engine(silent.Views(), System(service)) {
        rig.ports.present = {{1, true}};
        rig.ports.responder = [this](const std::string& c) { return c.rfind("Q1\r", 0) == 0 ? status : ""; };
        TUPSSettings& live = engine.Live();
        live.Action = static_cast<int32_t>(action);
        live.ExternalProgramRun = live.UPSShutdown = true;
        live.ExternalProgramName = "C:\\UPS\\notify.cmd";
        live.UPSShutdownDelay = 2;
        engine.StartAExecute();
    }
    MonitorSystem System(bool service) {
        MonitorSystem system = rig.System();
        system.host = service ? MonitorHost::Service : MonitorHost::Window;
        if (service) system.systemEvents = &events;
        return system;
    }
    void Polls(const char* reply, int count) {
        status = reply;
        for (int i = 0; i < count; ++i) worker.Cycle();
    }
    size_t Logged(const std::string& text) {
        const auto& lines = engine.EventLog().Lines();
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.ends_with(" " + text); });
    }
};

TEST(ServiceEvents, FailureActionAndReturnEachGiveOneEntryWithTheLogLinesText) {
    using enum SystemEventLevel;
    const Entry program{Information, "Power action: running the external program \"C:\\UPS\\notify.cmd\""};
    const Entry upsOff{Warning, "Power action: telling the UPS to switch off in 2 min"};
    const std::pair<PowerFailAction, std::vector<Entry>> cases[] = {
        {PowerFailAction::Shutdown, {program, upsOff, {Warning, "Power action: shutting down the computer"}}},
        {PowerFailAction::Hibernate, {program, upsOff, {Warning, "Power action: hibernating the computer"}}},
        {PowerFailAction::Suspend, {program, {Warning, "Power action: suspending the computer"}}},
    };
    for (const auto& [action, actionEntries] : cases) {
        SCOPED_TRACE(static_cast<int>(action));
        UnattendedRun run(true, action);
        run.Polls(kMains, 2);
        run.Polls(kBattery, 5);
        EXPECT_EQ(run.events.entries, (std::vector<Entry>{{Warning, "Power Fail"}}));

        run.engine.PowerFailPolicy().DelayTimerTimer();
        run.Polls(kBattery, 2);
        run.Polls(kMains, 3);
        std::vector<Entry> expected{{Warning, "Power Fail"}};
        expected.insert(expected.end(), actionEntries.begin(), actionEntries.end());
        expected.emplace_back(Information, "Power O.K.");
        EXPECT_EQ(run.events.entries, expected);
        for (const Entry& e : expected) EXPECT_EQ(run.Logged(e.second), 1u) << e.second;
    }
}

// The window's log keeps the lines it always had.
TEST(ServiceEvents, AWindowsLogGetsNoActionLines) {
    UnattendedRun run(false, PowerFailAction::Shutdown);
    run.Polls(kBattery, 2);
    run.engine.PowerFailPolicy().DelayTimerTimer();
    EXPECT_EQ(run.Logged("Power Fail"), 1u);
    EXPECT_EQ(run.Logged("Power action: shutting down the computer"), 0u);
}

}  // namespace
}  // namespace velt::test
