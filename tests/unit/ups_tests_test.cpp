#include "status/ups_tests.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "power_fakes.h"

namespace velt::test {
namespace {

using namespace power;

// Notes the lock depth at each write: the command must go out under the lock.
struct WatchedSerial : FakeSerial {
    FakeLock& lock;
    std::vector<int> depthAtWrite;
    WatchedSerial(VirtualTime& t, FakeLock& l) : FakeSerial(t), lock(l) {}
    bool StartWrite(const uint8_t* d, size_t len) override {
        depthAtWrite.push_back(lock.depth);
        return FakeSerial::StartWrite(d, len);
    }
};

struct UpsTestRig : ::testing::Test {
    VirtualTime time;
    FakeLock lock;
    FakeLog log;
    TUPSLink link;
    FakeUPSTestView view;
    FakeTestTForm dialog;
    WatchedSerial* serial = nullptr;
    UPSTests tests{{link, lock, time, log, view, dialog}};

    void SetUp() override {
        auto port = std::make_unique<WatchedSerial>(time, lock);
        serial = port.get();
        link.ComHandle = std::move(port);
        link.ComActive = true;
    }
};

struct ButtonCase {
    void (UPSTests::*click)();
    UPSTestButton button;
    const char* command;
    const char* text;
};
class EachButton : public UpsTestRig, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(EachButton, EchoDisablesTheButtonAndSaysSo) {
    const auto& c = GetParam();
    serial->reply = c.command;
    (tests.*c.click)();
    EXPECT_EQ(serial->written, c.command);
    EXPECT_EQ(serial->depthAtWrite, std::vector<int>{1});
    EXPECT_EQ(lock.depth, 0);
    EXPECT_EQ(view.disabled, std::vector<UPSTestButton>{c.button});
    EXPECT_EQ(view.status, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, EachButton,
    ::testing::Values(
        ButtonCase{&UPSTests::Test10sSBClick, UPSTestButton::Test10s, "T\r",
                   "\"Test for 10 seconds\" command not supported!"},
        ButtonCase{&UPSTests::TestTSBClick, UPSTestButton::TestT, "T05\r",
                   "\"Test for specified time period\" command not supported!"},
        ButtonCase{&UPSTests::TestLowSBClick, UPSTestButton::TestLow, "TL\r",
                   "\"Test until battery low\" command not supported!"},
        ButtonCase{&UPSTests::CancelTestSBClick, UPSTestButton::CancelTest, "CT\r",
                   "\"Cancel Test\" command not supported!"},
        ButtonCase{&UPSTests::UPSBeeperSBClick, UPSTestButton::Beeper, "Q\r",
                   "\"Toggle the UPS beeper\" command not supported!"}));

TEST_F(UpsTestRig, SilenceOrAnotherReplyChangesNothing) {
    tests.TestLowSBClick();
    serial->reply = "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r";
    tests.TestLowSBClick();
    EXPECT_EQ(serial->written, "TL\rTL\r");
    EXPECT_TRUE(view.disabled.empty());
    EXPECT_EQ(view.status, "");
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(UpsTestRig, TimedTestSendsTwoDigitsAndNothingOutsideOneToNinetyNineOrOnCancel) {
    for (const int minutes : {1, 5, 12, 99, 0, 100}) {
        dialog.position = minutes;
        tests.TestTSBClick();
    }
    dialog.position = 5;
    dialog.ok = false;
    tests.TestTSBClick();
    EXPECT_EQ(serial->written, "T01\rT05\rT12\rT99\r");
}

TEST_F(UpsTestRig, EchoMustCarryTheSameDigitsAndAShortReplyNeverMatches) {
    dialog.position = 12;
    for (const char* reply : {"T05\r", "T1"}) {
        serial->reply = reply;
        tests.TestTSBClick();
    }
    serial->reply = "T";
    tests.TestLowSBClick();
    EXPECT_TRUE(view.disabled.empty());
    serial->reply = "T12\r";
    tests.TestTSBClick();
    EXPECT_EQ(view.disabled, std::vector<UPSTestButton>{UPSTestButton::TestT});
}

TEST_F(UpsTestRig, EchoOverHidIsSeenPastTheReportId) {
    FakeHid hid{time};
    link.UsbActive = true;
    link.HidDevice = &hid;
    hid.QueueReply("TL\r");
    tests.TestLowSBClick();
    EXPECT_EQ(hid.lastWrite, (std::vector<uint8_t>{0, 'T', 'L', '\r', 0, 0, 0, 0, 0}));
    EXPECT_EQ(view.disabled, std::vector<UPSTestButton>{UPSTestButton::TestLow});
}

}  // namespace
}  // namespace velt::test
