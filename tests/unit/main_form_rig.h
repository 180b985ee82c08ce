#pragma once
// Everything TMainForm needs, faked: the window's views and the operating system.
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/main_form.h"
#include "fakes.h"
#include "memory_settings_store.h"
#include "power_fakes.h"
#include "queued_post.h"
#include "status_fakes.h"

namespace velt::test {

// HID devices in list order; check-out per device.
struct FakeHidController : IHidController {
    std::vector<std::unique_ptr<FakeHid>> devices;
    std::vector<bool> checkedOut;
    std::vector<std::string> ops;

    FakeHid& Add(VirtualTime& time, uint16_t vid, uint16_t pid, std::string product = "UPS") {
        struct Device : FakeHid {
            uint16_t v, p;
            std::string name;
            Device(VirtualTime& t, uint16_t v_, uint16_t p_, std::string n) : FakeHid(t), v(v_), p(p_), name(n) {}
            uint16_t VendorId() const override { return v; }
            uint16_t ProductId() const override { return p; }
            std::string ProductName() const override { return name; }
        };
        devices.push_back(std::make_unique<Device>(time, vid, pid, std::move(product)));
        devices.back()->plugged = false;  // until checked out
        checkedOut.push_back(false);
        return *devices.back();
    }
    void Enumerate(const std::function<bool(IHidDevice&, size_t)>& handler) override {
        for (size_t i = 0; i < devices.size(); ++i)
            if (!handler(*devices[i], i)) return;
    }
    bool CheckOut(size_t index) override {
        ops.push_back("out " + std::to_string(index));
        if (index >= devices.size() || checkedOut[index]) return false;
        checkedOut[index] = true;
        devices[index]->plugged = true;
        return true;
    }
    void CheckIn(IHidDevice& d) override {
        for (size_t i = 0; i < devices.size(); ++i)
            if (devices[i].get() == &d) {
                ops.push_back("in " + std::to_string(i));
                checkedOut[i] = false;
                devices[i]->plugged = false;
            }
    }
    void StopBackgroundReading(IHidDevice&) override {}
};

struct FakeSystemInfo : ISystemInfo {
    OsVersionRecord os{156, 6, 1, 7601, kPlatformNt, "Service Pack 1", 1, 0, 0, kProductWorkstation};
    std::string computer = "OFFICE-PC";
    OsVersionRecord OsVersion() override { return os; }
    std::optional<uint16_t> NativeProcessorArchitecture() override { return kProcessorArchitectureAmd64; }
    std::string ComputerName() override { return computer; }
    std::string ProgramPath() override { return "C:\\Program Files\\Veltrano\\veltrano.exe"; }
    std::string ProgramFileVersion() override { return "1.0.0.0"; }
    bool SetProcessHighPriority() override { return true; }
    bool SetCurrentThreadPriority(ThreadPriority p) override {
        std::lock_guard guard(m);
        priorities.push_back({p, std::this_thread::get_id()});
        return true;
    }

    struct PrioritySet {
        ThreadPriority priority;
        std::thread::id thread;
    };
    std::mutex m;  // the worker sets its own priority on its thread
    std::vector<PrioritySet> priorities;
};

// Counts the worker's hand-offs; tests run the main thread's side themselves.
struct CountingDispatcher : IMainThreadDispatcher {
    std::atomic<int> handOffs{0}, failedPolls{0};
    void HandOff(WorkerMessage message) override { ++(message == WorkerMessage::Reply ? handOffs : failedPolls); }
};

struct RealSleeper : ISleeper {
    void Sleep(unsigned ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

// The operating system the monitor runs on, faked.
struct SystemRig {
    VirtualTime time;
    RealSleeper workerSleeper;
    FakeLock lock;
    FixedFormat fmt;
    FakePorts ports{time};
    FakeDialog dialog;
    FakeFiles files;
    FakeHidController hid;
    MemorySettingsStore store;
    power::Events events;
    power::FakePowerServices power{events};
    power::FakeLauncher launcher{events};
    power::FakePump pump{events};
    CountingDispatcher mainThread;
    power::FakeTestTForm testTForm;
    FakeSystemInfo system;
    FakeWarnings warnings;
    QueuedPost post;
    FakeTimer startTimer, delayTimer, smtpTimer, lanTimer;

    MonitorSystem System() {
        return {lock,     time,      workerSleeper, time,    fmt,      ports,    dialog,     files,
                hid,      store,     power,         launcher, pump,    mainThread, testTForm, system,
                warnings, post,      startTimer,    delayTimer, smtpTimer, lanTimer, '.'};
    }
};

struct MainFormRig : SystemRig {
    RecordingView view;
    FakeFeedback feedback;
    FakeDetectionView detectionView;
    FakeHidListView hidList;
    FakeStatusView statusView;
    FakeBatteryView batteryView;
    power::FakeUPSTestView testView;

    TMainForm form{{view, feedback, detectionView, hidList, statusView, batteryView, testView}, System()};
};

}  // namespace velt::test
