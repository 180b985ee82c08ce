#include "core/read_data.h"

#include <gtest/gtest.h>

#include <chrono>

#include "fakes.h"

namespace velt::test {
namespace {

const std::string kStatus = "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r";

struct Worker : ::testing::Test {
    VirtualTime time;
    FakeLock lock;
    TUPSLink link;
    FakeSerial* port = nullptr;
    int notified = 0;
    int lockDepthAtNotify = -1;
    ReadData worker{link, lock, time, time,
                     {nullptr, [this](WorkerMessage m) {
                          if (m != WorkerMessage::Reply) return;
                          ++notified;
                          lockDepthAtNotify = lock.depth;
                      }}};

    void MonitorSerial() {
        auto p = std::make_unique<FakeSerial>(time);
        port = p.get();
        port->reply = kStatus;
        link.ComHandle = std::move(p);
        link.ComActive = true;
        link.Q1Supported = true;
        link.Monitoring = true;
    }
    // The pause after the exchange's own 500 ms.
    long long PauseOf(uint32_t intervalMs) {
        link.RefreshIntervalMs = intervalMs;
        time.sleeps.clear();
        worker.Cycle();
        return time.SumSleeps();
    }
};

TEST_F(Worker, PauseIsTheIntervalInWholeThreeHundredMillisecondSteps) {
    EXPECT_EQ(PauseOf(1000), 1200);
    EXPECT_EQ(PauseOf(2000), 2100);
    EXPECT_EQ(PauseOf(3000), 3000);
    EXPECT_EQ(PauseOf(60000), 60000);
    EXPECT_EQ(PauseOf(0), 300);  // at least one step
    for (unsigned s : time.sleeps) EXPECT_EQ(s, 300u);
}

TEST_F(Worker, IdleWhileNotMonitoring) {
    MonitorSerial();
    link.Monitoring = false;
    worker.Cycle();
    EXPECT_TRUE(port->ops.empty());
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(Worker, NotifiesAfterReleasingTheLock) {
    MonitorSerial();
    worker.Cycle();
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(lockDepthAtNotify, 0);
    EXPECT_EQ(link.ReplyText.size(), 47u);
    EXPECT_EQ(time.SumSleeps(), 500 + 3000);
}

TEST_F(Worker, MegatecQueryWinsWhenBothProtocolsAnswer) {
    MonitorSerial();
    link.QSSupported = true;
    worker.Cycle();
    EXPECT_EQ(port->written, "Q1\r");
    link.Q1Supported = false;
    worker.Cycle();
    EXPECT_EQ(port->written, "Q1\rQS\r");
}

TEST_F(Worker, SilentSerialPollIsNotHandedOn) {
    MonitorSerial();
    port->reply.clear();
    worker.Cycle();
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(link.ReplyText, "");
}

TEST_F(Worker, SilentHidPollIsHandedOnEmpty) {
    FakeHid hid(time);
    link.UsbActive = true;
    link.HidDevice = &hid;
    link.Q1Supported = true;
    link.Monitoring = true;
    worker.Cycle();
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(link.ReplyText, "");
}

TEST_F(Worker, TerminationCutsThePauseShortButNotThePoll) {
    MonitorSerial();
    link.RefreshIntervalMs = 60000;
    worker.Terminate();
    worker.Cycle();
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(time.sleeps, (std::vector<unsigned>{500, 300}));
}

TEST(WorkerThread, EndsPromptlyWhenTerminated) {
    struct RealSleeper : ISleeper {
        void Sleep(unsigned ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    } sleeper;
    VirtualTime clock;
    FakeLock lock;
    TUPSLink link;
    std::atomic<int> started{0};
    ReadData worker(link, lock, sleeper, clock, {[&] { ++started; }, {}});
    worker.Start();
    const auto t0 = std::chrono::steady_clock::now();
    while (started == 0 && std::chrono::steady_clock::now() - t0 < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(started, 1);
    worker.Terminate();
    worker.WaitFor();
    EXPECT_TRUE(worker.Finished());
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
}

}  // namespace
}  // namespace velt::test
