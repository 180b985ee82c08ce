#pragma once
// Fakes for the power-fail countdown, the power actions and the UPS test
// buttons. Each writes what it was asked into one shared event list, so tests
// see the order across them. They live in their own namespace: two different
// classes of one name in velt::test would break the one-definition rule silently.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "status/power_actions.h"
#include "status/ups_tests.h"
#include "sys/process_launcher.h"
#include "sys/timer.h"

namespace velt::test::power {

using Events = std::vector<std::string>;

struct RecordingTimer : ITimer {
    uint32_t interval = 0;
    bool enabled = false;
    Events ops;
    void SetInterval(uint32_t ms) override { ops.push_back(std::to_string(interval = ms)); }
    uint32_t Interval() const override { return interval; }
    void SetEnabled(bool e) override { ops.push_back((enabled = e) ? "on" : "off"); }
    bool Enabled() const override { return enabled; }
};

struct FakePowerServices : IPowerServices {
    Events& ev;
    std::optional<bool> suspendAllowed = true, hibernateAllowed = true, shutdownAllowed = true;
    bool hasSetSuspendState = true, privilegeOk = true, powerOffOk = true;
    explicit FakePowerServices(Events& e) : ev(e) {}
    std::optional<bool> IsSuspendAllowed() override { return suspendAllowed; }
    std::optional<bool> IsHibernateAllowed() override { return hibernateAllowed; }
    std::optional<bool> IsShutdownAllowed() override { return shutdownAllowed; }
    bool HasSetSuspendState() const override { return hasSetSuspendState; }
    bool SetSuspendState(bool hibernate, bool force) override {
        ev.push_back(std::string(hibernate ? "hibernate" : "sleep") + (force ? " forced" : ""));
        return true;
    }
    bool EnableShutdownPrivilege() override {
        ev.push_back("privilege");
        return privilegeOk;
    }
    bool PowerOff(bool force, std::string& error) override {
        ev.push_back(force ? "power off forced" : "power off");
        error = "Access is denied";
        return powerOffOk;
    }
    bool RegisterPowerSchemeNotification() override {
        ev.push_back("register");
        return true;
    }
};

struct FakeComputerActions : IComputerPowerActions {
    Events& ev;
    std::function<void()> during;
    explicit FakeComputerActions(Events& e) : ev(e) {}
    void Act(const char* what) {
        ev.push_back(what);
        if (during) during();
    }
    void ShutdownComputer() override { Act("Shutdown"); }
    void SuspendComputer() override { Act("Suspend"); }
    void HibernateComputer() override { Act("Hibernate"); }
};

struct FakePump : IMessagePump {
    Events& ev;
    int messages = 0, sent = 0;
    std::function<void()> onMessages;  // what the pending messages do
    explicit FakePump(Events& e) : ev(e) {}
    void ProcessMessages() override {
        ++messages;
        ev.push_back("pump");
        if (onMessages) onMessages();
    }
    void ProcessSentMessages() override { ++sent; }
};

// Every program it starts runs for `runSteps` waits, then ends.
struct FakeLauncher : IProcessLauncher {
    struct Process : IRunningProcess {
        FakeLauncher& owner;
        int left;
        Process(FakeLauncher& o, int steps) : owner(o), left(steps) {}
        ProcessWait WaitForExit(unsigned ms) override {
            owner.waits.push_back(ms);
            if (left-- > 0) return ProcessWait::StillRunning;
            owner.ev.push_back("program ended");
            return ProcessWait::Ended;
        }
    };
    Events& ev;
    bool startOk = true;
    int runSteps = 0, starts = 0;
    std::string commandLine, directory;
    std::vector<unsigned> waits;
    explicit FakeLauncher(Events& e) : ev(e) {}
    std::unique_ptr<IRunningProcess> Start(const std::string& line, const std::string& dir,
                                           std::string&) override {
        commandLine = line;
        directory = dir;
        if (!startOk) return nullptr;
        ++starts;
        ev.push_back("program started");
        return std::make_unique<Process>(*this, runSteps);
    }
};

// Finished() is false `busyChecks` times (always when negative).
struct FakeWorker : IPollingWorker {
    Events& ev;
    mutable int busyChecks = 0;
    std::function<void()> onTerminate;
    explicit FakeWorker(Events& e) : ev(e) {}
    void Terminate() override {
        ev.push_back("terminate");
        if (onTerminate) onTerminate();
    }
    bool Finished() const override { return busyChecks >= 0 && busyChecks-- <= 0; }
    void Join() override { ev.push_back("join"); }
};

struct FakeHost : IReportTimers, IExitRequest {
    Events& ev;
    explicit FakeHost(Events& e) : ev(e) {}
    void DisableReportTimers() override { ev.push_back("reports off"); }
    void RestartReportTimers() override { ev.push_back("reports on"); }
    void SetExitRequested() override { ev.push_back("exit requested"); }
};

struct FakeUPSTestView : IUPSTestView {
    std::vector<UPSTestButton> disabled;
    std::map<UPSTestButton, bool> enabled;
    std::string status;
    void DisableUPSTestButton(UPSTestButton b) override { disabled.push_back(b); }
    void SetUPSTestButtonEnabled(UPSTestButton b, bool on) override { enabled[b] = on; }
    void SetStatusText(const std::string& t) override { status = t; }
};

struct FakeTestTForm : ITestTForm {
    bool ok = true;
    int position = 5;
    bool ShowModalOk() override { return ok; }
    int TestTUDPosition() const override { return position; }
};

}  // namespace velt::test::power
