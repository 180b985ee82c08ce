#include "core/command_exchange.h"

#include <gtest/gtest.h>

#include "core/commands.h"
#include "fakes.h"

namespace velt::test {
namespace {

const std::string kStatus = "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r";  // 47 bytes

struct HidLink : ::testing::Test {
    VirtualTime time;
    FakeHid hid{time};
    FakeLog log;
    TUPSLink link;
    void SetUp() override {
        link.UsbActive = true;
        link.HidDevice = &hid;
        link.Q1Supported = true;
    }
};

TEST_F(HidLink, StatusQueryIsTheNineByteReport) {
    PollExchange(link, cmd::kStatusMegatec, time, time);
    const std::vector<uint8_t> expected{0x00, 0x51, 0x31, 0x0D, 0, 0, 0, 0, 0};
    EXPECT_EQ(hid.lastWrite, expected);
}

TEST_F(HidLink, SixReportsGiveTheFilteredReplyInThePoll) {
    hid.QueueReply(kStatus);
    ASSERT_EQ(hid.reports.size(), 6u);
    EXPECT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(link.ReplyText, kStatus.substr(0, 46) + "#");
    // 500 ms after the write, six completed reads and one that runs out its 500 ms.
    EXPECT_EQ(time.sleeps, std::vector<unsigned>{500});
    EXPECT_EQ(time.nowMs, 1000);
    const std::vector<std::string> expected{
        "OpenWrite",     "OpenRead",      "Buffers 1",     "Write 9",       "CloseWrite",
        "Buffers 12",    "StartRead 256", "Wait 500",      "StartRead 247", "Wait 500",
        "StartRead 238", "Wait 500",      "StartRead 229", "Wait 500",      "StartRead 220",
        "Wait 500",      "StartRead 211", "Wait 500",      "StartRead 202", "Wait 500",
        "Cancel",        "CloseRead"};
    EXPECT_EQ(hid.ops, expected);
}

TEST_F(HidLink, ExchangeCommandKeepsTheRawBytesAfterTheFirst) {
    hid.QueueReply(kStatus);
    const std::string reply = ExchangeCommand(link, cmd::kStatusMegatec, time, log);
    // 6 reports of 9 bytes minus the first report id.
    ASSERT_EQ(reply.size(), 53u);
    for (size_t pos : {9u, 18u, 27u, 36u, 45u}) EXPECT_EQ(reply[pos - 1], '\0') << pos;
    EXPECT_EQ(reply.substr(0, 8), "(230.0 2");
    EXPECT_NE(std::find(hid.ops.begin(), hid.ops.end(), "Buffers 1"), hid.ops.end());
    EXPECT_EQ(std::count(hid.ops.begin(), hid.ops.end(), "Buffers 12"), 0);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(HidLink, SilentUpsStillCountsAsAPollWithAnEmptyReply) {
    link.ReplyText = "old";
    EXPECT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(link.ReplyText, "");
    EXPECT_EQ(time.nowMs, 1000);
    EXPECT_EQ(ExchangeCommand(link, cmd::kInfo, time, log), "");
}

TEST_F(HidLink, PollFailuresAreSilentButCommandFailuresAreLogged) {
    hid.writeOpens = false;
    EXPECT_FALSE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(ExchangeCommand(link, cmd::kInfo, time, log), "");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "OpenFile failed! The device is not connected");

    hid.writeOpens = true;
    hid.readOpens = false;
    EXPECT_FALSE(PollExchange(link, cmd::kStatusMegatec, time, time));
    ExchangeCommand(link, cmd::kInfo, time, log);
    EXPECT_EQ(log.lines.back(), "OpenFileEx failed! The device is not connected");
}

TEST(HidWrite, AFailedOrHungWriteFailsTheExchangeAndDropsItsReadHandle) {
    for (const bool hangs : {false, true}) {
        VirtualTime time;
        FakeHid hid{time};
        FakeLog log;
        TUPSLink link;
        link.UsbActive = true;
        link.HidDevice = &hid;
        hid.writeHangs = hangs;
        hid.writeOk = hangs;  // refused when it does not hang
        hid.QueueReply(kStatus);
        link.ReplyText = "(old#";
        EXPECT_FALSE(PollExchange(link, cmd::kStatusMegatec, time, time)) << hangs;
        EXPECT_EQ(link.ReplyText, "(old#");
        EXPECT_EQ(time.nowMs, hangs ? kHidWriteWaitMs : 0) << "the write's limit, and no pause after it";
        // Reports queued on a handle left open would lead the next reply.
        EXPECT_FALSE(hid.readOpen);
        EXPECT_EQ(std::count(hid.ops.begin(), hid.ops.end(), "OpenRead"), 1);
        EXPECT_EQ(hid.ops.back(), "CloseRead");
        EXPECT_EQ(ExchangeCommand(link, cmd::kTest10s, time, log), "");
        EXPECT_EQ(log.lines, std::vector<std::string>{"WriteFile failed! The device is not connected"});
        EXPECT_FALSE(hid.readOpen);
    }
}

TEST_F(HidLink, ReportLengthFollowsTheDeviceCapability) {
    for (const size_t length : {9u, 65u}) {
        hid.outputLength = length;
        hid.QueueReply(kStatus);
        ASSERT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time)) << length;
        std::vector<uint8_t> expected(length, 0);
        std::copy_n("Q1\r", 3, expected.begin() + 1);
        EXPECT_EQ(hid.lastWrite, expected);
        EXPECT_EQ(link.ReplyText, kStatus.substr(0, 46) + "#");
    }
}

TEST_F(HidLink, FailedCancelKeepsTheCommandReply) {
    hid.cancelOk = false;
    hid.QueueReply("#OK\r");
    EXPECT_EQ(ExchangeCommand(link, cmd::kInfo, time, log).substr(0, 3), "#OK");
    EXPECT_EQ(log.lines, std::vector<std::string>{"CancelIO failed! The device is not connected"});
    EXPECT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST_F(HidLink, EndlessSenderStopsWhenTheBufferIsFull) {
    for (int i = 0; i < 100; ++i) hid.QueueReply("ABCDEFGH");
    EXPECT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(link.ReplyText.size(), 224u);  // 28 reports fit the 256 bytes
    EXPECT_GT(hid.reports.size(), 0u);
}

TEST_F(HidLink, UnpluggedDeviceFallsBackToSerialOrNothing) {
    hid.plugged = false;
    EXPECT_FALSE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_TRUE(hid.ops.empty());
    EXPECT_EQ(ExchangeCommand(link, cmd::kInfo, time, log), "");
}

struct SerialLink : ::testing::Test {
    VirtualTime time;
    FakeLog log;
    TUPSLink link;
    FakeSerial* port = nullptr;
    void SetUp() override {
        auto p = std::make_unique<FakeSerial>(time);
        port = p.get();
        link.ComHandle = std::move(p);
        link.ComActive = true;
        link.Q1Supported = true;
    }
};

TEST_F(SerialLink, PollWritesWaitsHalfASecondAndReads) {
    port->reply = kStatus + "junk";
    EXPECT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(port->written, "Q1\r");
    EXPECT_EQ(link.ReplyText, kStatus.substr(0, 46) + "#");
    const std::vector<std::string> expected{"Purge", "StartWrite 3", "Wait 2000", "StartRead 256", "Wait 2000"};
    EXPECT_EQ(port->ops, expected);
    EXPECT_EQ(time.sleeps, std::vector<unsigned>{500});
}

TEST_F(SerialLink, BytesAlreadyInTheLineNeverLeadTheReply) {
    port->reply = kStatus;
    port->stray = "(229.0 2";  // the late tail of an earlier reply
    EXPECT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(link.ReplyText, kStatus.substr(0, 46) + "#");
    port->stray = "#220.0 003 12.00 50.0\r";  // unsolicited
    EXPECT_EQ(ExchangeCommand(link, cmd::kStatusMegatec, time, log), kStatus);
}

TEST_F(SerialLink, SilenceFailsThePollAndEmptiesTheStoredReply) {
    link.ReplyText = "(old#";
    time.nowMs = 5000;
    EXPECT_FALSE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(link.ReplyText, "");
    EXPECT_EQ(link.ReplyTime.second, time.base.second + 5);
}

TEST_F(SerialLink, HungOperationsAreCancelledAfterTwoSeconds) {
    port->writeCompletes = false;
    port->readCompletes = false;
    port->reply = kStatus;
    EXPECT_FALSE(PollExchange(link, cmd::kStatusMegatec, time, time));
    const std::vector<std::string> expected{"Purge",         "StartWrite 3", "Wait 2000", "Cancel",
                                            "StartRead 256", "Wait 2000",    "Cancel"};
    EXPECT_EQ(port->ops, expected);
    EXPECT_EQ(time.nowMs, 4500);  // the longest a serial exchange takes
}

TEST_F(SerialLink, ZeroByteWriteSkipsTheReadOnlyInThePoll) {
    port->writeReports = 0;
    port->reply = "#OK\r";
    EXPECT_FALSE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(port->ops.back(), "Wait 2000");
    EXPECT_EQ(std::count(port->ops.begin(), port->ops.end(), "StartRead 256"), 0);
    EXPECT_EQ(ExchangeCommand(link, cmd::kInfo, time, log), "#OK\r");
}

TEST_F(SerialLink, WriteThatCannotStartStillReads) {
    port->writeStarts = false;
    port->reply = kStatus;
    EXPECT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_EQ(ExchangeCommand(link, cmd::kRating, time, log), kStatus);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(SerialLink, HidWinsWhenBothTransportsAreActive) {
    FakeHid hid(time);
    hid.QueueReply(kStatus);
    link.UsbActive = true;
    link.HidDevice = &hid;
    EXPECT_TRUE(PollExchange(link, cmd::kStatusMegatec, time, time));
    EXPECT_TRUE(port->ops.empty());
}

TEST(ReplyFilter, KeepsPrintableAsciiUpToTheFirstCarriageReturn) {
    EXPECT_EQ(FilterReply(std::string("(2\0" "3\x80\xff" "0\r(tail", 11)), "(230#");
    EXPECT_EQ(FilterReply("no carriage return"), "no carriage return");
    EXPECT_EQ(FilterReply(std::string(300, 'A')), std::string(255, 'A'));
    EXPECT_EQ(FilterReply(std::string(255, 'A') + "\r"), std::string(255, 'A'));
    EXPECT_EQ(FilterReply(std::string(254, 'A') + "\r"), std::string(254, 'A') + "#");
    EXPECT_EQ(FilterReply(""), "");
    EXPECT_EQ(FilterReply("\r"), "#");
}

TEST(CommandTable, FormattedCommandsAndTheEchoRule) {
    EXPECT_EQ(cmd::TimedTestCommand(5), "T05\r");
    EXPECT_EQ(cmd::TimedTestCommand(12), "T12\r");
    EXPECT_EQ(cmd::TimedTestCommand(99), "T99\r");
    EXPECT_FALSE(cmd::TimedTestCommand(0));
    EXPECT_FALSE(cmd::TimedTestCommand(100));
    EXPECT_EQ(cmd::ShutdownCommand(1), "S01\r");
    EXPECT_EQ(cmd::ShutdownCommand(5), "S05\r");
    EXPECT_EQ(cmd::ShutdownCommand(60), "S60\r");

    EXPECT_TRUE(cmd::IsEcho("TL\r", cmd::kTestUntilLow));
    EXPECT_TRUE(cmd::IsEcho("T12", "T12\r"));
    EXPECT_FALSE(cmd::IsEcho("T05\r", "T12\r"));
    EXPECT_FALSE(cmd::IsEcho("T", "TL\r"));  // shorter than the compared characters
    EXPECT_FALSE(cmd::IsEcho("", cmd::kBeeperToggle));
}

}  // namespace
}  // namespace velt::test
