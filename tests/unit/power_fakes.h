#pragma once
// Fakes for the power-fail countdown, the power actions and the UPS test
// buttons. Each records what it was asked into a shared event list where order
// matters. They live in their own namespace: fakes of other areas share
// velt::test, and two different classes of one name there break the build's
// one-definition rule silently.
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "status/power_actions.h"
#include "status/ups_tests.h"
#include "sys/power_services.h"
#include "sys/process_launcher.h"
#include "sys/timer.h"

namespace velt::test::power {

using Events = std::vector<std::string>;

struct RecordingTimer : ITimer {
    uint32_t interval = 0;
    bool enabled = false;
    Events ops;  // "enable", "disable", "interval N"
    void SetInterval(uint32_t ms) override {
        interval = ms;
        ops.push_back("interval " + std::to_string(ms));
    }
    uint32_t Interval() const override { return interval; }
    void SetEnabled(bool e) override {
        enabled = e;
        ops.push_back(e ? "enable" : "disable");
    }
    bool Enabled() const override { return enabled; }
};

struct FakePowerServices : IPowerServices {
    Events& events;
    std::optional<bool> suspendAllowed = true, hibernateAllowed = true, shutdownAllowed = true;
    bool hasSetSuspendState = true, privilegeOk = true, powerOffOk = true, registerOk = true;

    explicit FakePowerServices(Events& e) : events(e) {}

    std::optional<bool> IsSuspendAllowed() override { return suspendAllowed; }
    std::optional<bool> IsHibernateAllowed() override { return hibernateAllowed; }
    std::optional<bool> IsShutdownAllowed() override { return shutdownAllowed; }
    bool HasSetSuspendState() const override { return hasSetSuspendState; }
    bool SetSuspendState(bool hibernate, bool force) override {
        events.push_back(std::string("SetSuspendState ") + (hibernate ? "hibernate" : "sleep") +
                         (force ? " forced" : ""));
        return true;
    }
    bool EnableShutdownPrivilege() override {
        events.push_back("privilege");
        return privilegeOk;
    }
    bool PowerOff(bool force, std::string& error) override {
        events.push_back(force ? "PowerOff forced" : "PowerOff");
        if (!powerOffOk) error = "Access is denied";
        return powerOffOk;
    }
    bool RegisterPowerSchemeNotification() override {
        events.push_back("register");
        return registerOk;
    }
};

struct FakeComputerActions : IComputerPowerActions {
    Events& events;
    std::function<void()> during;  // runs inside each action
    explicit FakeComputerActions(Events& e) : events(e) {}
    void Record(const char* what) {
        events.push_back(what);
        if (during) during();
    }
    void ShutdownComputer() override { Record("Shutdown"); }
    void SuspendComputer() override { Record("Suspend"); }
    void HibernateComputer() override { Record("Hibernate"); }
};

struct FakePump : IMessagePump {
    Events& events;
    int messages = 0, sent = 0;
    std::function<void()> onMessages;  // what the pending messages do
    explicit FakePump(Events& e) : events(e) {}
    void ProcessMessages() override {
        ++messages;
        events.push_back("pump");
        if (onMessages) onMessages();
    }
    void ProcessSentMessages() override { ++sent; }
};

// A program that runs for `runSteps` waits, then ends.
struct FakeProcess : IRunningProcess {
    Events& events;
    std::vector<unsigned>& waits;
    int runSteps;
    bool failWait = false;
    FakeProcess(Events& e, std::vector<unsigned>& w, int steps) : events(e), waits(w), runSteps(steps) {}
    ProcessWait WaitForExit(unsigned ms) override {
        waits.push_back(ms);
        if (failWait) return ProcessWait::Failed;
        if (runSteps-- > 0) return ProcessWait::StillRunning;
        events.push_back("program ended");
        return ProcessWait::Ended;
    }
};

struct FakeLauncher : IProcessLauncher {
    Events& events;
    bool startOk = true;
    int runSteps = 0;  // of each started program
    bool failWait = false;
    int starts = 0;
    std::string commandLine, workingDirectory;
    std::vector<unsigned> waits;  // of every started program
    explicit FakeLauncher(Events& e) : events(e) {}
    std::unique_ptr<IRunningProcess> Start(const std::string& line, const std::string& dir,
                                           std::string& error) override {
        commandLine = line;
        workingDirectory = dir;
        if (!startOk) {
            error = "The system cannot find the file specified";
            return nullptr;
        }
        ++starts;
        events.push_back("program started");
        auto p = std::make_unique<FakeProcess>(events, waits, runSteps);
        p->failWait = failWait;
        return p;
    }
};

struct FakeWorker : IPollingWorker {
    Events& events;
    mutable int waitsUntilFinished = 0;  // Finished() is false this many times; -1 never finishes
    bool throwOnTerminate = false;
    std::function<void()> onTerminate;
    explicit FakeWorker(Events& e) : events(e) {}
    void Terminate() override {
        events.push_back("terminate");
        if (onTerminate) onTerminate();
        if (throwOnTerminate) throw std::runtime_error("terminate failed");
    }
    bool Finished() const override {
        if (waitsUntilFinished < 0) return false;
        return waitsUntilFinished-- <= 0;
    }
    void Free() override { events.push_back("free"); }
};

struct FakeReportTimers : IReportTimers {
    Events& events;
    explicit FakeReportTimers(Events& e) : events(e) {}
    void DisableReportTimers() override { events.push_back("report timers off"); }
};

struct FakeExit : IExitRequest {
    Events& events;
    bool requested = false;
    explicit FakeExit(Events& e) : events(e) {}
    void SetExitRequested() override {
        requested = true;
        events.push_back("exit requested");
    }
};

struct FakeUPSTestView : IUPSTestView {
    std::vector<UPSTestButton> disabled;
    std::string status;
    void DisableUPSTestButton(UPSTestButton b) override { disabled.push_back(b); }
    void SetStatusText(const std::string& t) override { status = t; }
};

struct FakeTestTForm : ITestTForm {
    bool ok = true;
    int position = 5;
    int shown = 0;
    bool ShowModalOk() override {
        ++shown;
        return ok;
    }
    int TestTUDPosition() const override { return position; }
};

}  // namespace velt::test::power
