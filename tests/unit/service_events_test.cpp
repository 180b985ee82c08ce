// What the service tells the system's event log: the monitor with no window,
// one unit on COM1 polled on virtual time, through a mains failure, the
// countdown's action and the mains' return.
#include <algorithm>
#include <ostream>

#include <gtest/gtest.h>

#include "app/monitor_engine.h"
#include "app/silent_views.h"
#include "main_form_rig.h"

namespace velt::test {
namespace {

struct Entry {
    SystemEventLevel level;
    std::string text;
    bool operator==(const Entry&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Entry& e) {
        return os << static_cast<int>(e.level) << " \"" << e.text << "\"";
    }
};

struct RecordingEventLog : ISystemEventLog {
    std::vector<Entry> entries;
    void Report(SystemEventLevel level, const std::string& text) override { entries.push_back({level, text}); }
};

constexpr char kMains[] = "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r";
constexpr char kBattery[] = "(000.0 230.0 229.0 013 50.0 13.4 25.0 10001001\r";

// The engine with the settings of an administrator who wants everything done:
// the program, the UPS told to switch off, then the computer's action.
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
        rig.ports.responder = [this](const std::string& command) {
            return command.rfind("Q1\r", 0) == 0 ? status : std::string();
        };
        TUPSSettings& live = engine.Live();
        live.Action = static_cast<int32_t>(action);
        live.Delay = 60;
        live.ExternalProgramRun = true;
        live.ExternalProgramName = "C:\\UPS\\notify.cmd";
        live.UPSShutdown = true;
        live.UPSShutdownDelay = 2;
        engine.StartAExecute();
    }
    MonitorSystem System(bool service) {
        MonitorSystem system = rig.System();
        system.service = service;
        if (service) system.systemEvents = &events;
        return system;
    }
    void Polls(const char* reply, int count) {
        status = reply;
        for (int i = 0; i < count; ++i) worker.Cycle();
    }
    bool Logged(const std::string& text) {
        const auto& lines = engine.EventLog().Lines();
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.ends_with(" " + text); });
    }
};

TEST(ServiceEvents, FailureActionAndReturnEachGiveOneEntryWithTheLogLinesText) {
    using enum SystemEventLevel;
    struct Case {
        PowerFailAction action;
        std::vector<Entry> actionEntries;
    };
    const Entry program{Information, "Power action: running the external program \"C:\\UPS\\notify.cmd\""};
    const Entry upsOff{Warning, "Power action: telling the UPS to switch off in 2 min"};
    const Case cases[] = {
        {PowerFailAction::Shutdown, {program, upsOff, {Warning, "Power action: shutting down the computer"}}},
        {PowerFailAction::Hibernate, {program, upsOff, {Warning, "Power action: hibernating the computer"}}},
        // A suspended computer wakes up on the same UPS: it is not told to switch off.
        {PowerFailAction::Suspend, {program, {Warning, "Power action: suspending the computer"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.action));
        UnattendedRun run(true, c.action);
        ASSERT_TRUE(run.engine.Link().Monitoring);
        run.Polls(kMains, 2);
        EXPECT_TRUE(run.events.entries.empty());

        run.Polls(kBattery, 5);
        EXPECT_EQ(run.events.entries, (std::vector<Entry>{{Warning, "Power Fail"}}));

        run.engine.PowerFailPolicy().DelayTimerTimer();
        run.Polls(kBattery, 2);
        run.Polls(kMains, 3);
        std::vector<Entry> expected{{Warning, "Power Fail"}};
        expected.insert(expected.end(), c.actionEntries.begin(), c.actionEntries.end());
        expected.push_back({Information, "Power O.K."});
        EXPECT_EQ(run.events.entries, expected);
        for (const Entry& e : expected) EXPECT_TRUE(run.Logged(e.text)) << e.text;
    }
}

// The window's log keeps the lines it always had.
TEST(ServiceEvents, AWindowsRunLogsNoActionLines) {
    UnattendedRun run(false, PowerFailAction::Shutdown);
    run.Polls(kBattery, 2);
    run.engine.PowerFailPolicy().DelayTimerTimer();
    EXPECT_TRUE(run.Logged("Power Fail"));
    EXPECT_TRUE(std::none_of(run.engine.EventLog().Lines().begin(), run.engine.EventLog().Lines().end(),
                             [](const std::string& l) { return l.find("Power action") != l.npos; }));
}

}  // namespace
}  // namespace velt::test
