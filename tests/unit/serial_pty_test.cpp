// The serial exchange against the UPS simulator over a real pty.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/com_port.h"
#include "core/command_exchange.h"
#include "core/commands.h"
#include "fakes.h"
#include "simulator_process.h"
#include "sys/posix/posix_clock.h"
#include "sys/posix/termios_serial.h"

namespace velt::test {
namespace {

struct RememberedPort : IComPortDialog {
    void ClearPorts() override {}
    void AddPort(const std::string&) override {}
    void SelectFirstPort() override {}
    bool ShowModal() override { return false; }
    std::optional<std::string> SelectedPort() const override { return std::nullopt; }
    bool DtrChecked() const override { return true; }
    bool RtsChecked() const override { return false; }
};

// Waits, at most two seconds, until `bytes` wait unread in the pty's input.
// A second descriptor on the same pty counts them without taking them.
bool WaitUntilQueued(const std::string& pty, size_t bytes) {
    const int fd = ::open(pty.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int queued = 0;
    while (::ioctl(fd, FIONREAD, &queued) == 0 && static_cast<size_t>(queued) < bytes &&
           std::chrono::steady_clock::now() < deadline)
        ::poll(nullptr, 0, 5);
    ::close(fd);
    return static_cast<size_t>(queued) >= bytes;
}

struct OverPty : ::testing::Test {
    PosixClock clock;
    FakeLog log;
    TUPSLink link;

    void Connect(const SimulatorProcess& sim) {
        ASSERT_FALSE(sim.PtyPath().empty()) << "simulator did not start";
        TermiosPortFactory ports({{1, sim.PtyPath()}});
        RememberedPort dialog;
        link.ComPort = 1;
        ASSERT_TRUE(OpenComPort(link, ports, dialog, clock, log));
        link.ComActive = true;
        link.Q1Supported = true;
    }
};

// A device that is not there: the log says so in the system's words, once
// after the last attempt; the ports listed for the dialog are not counted.
TEST_F(OverPty, APortThatCannotBeOpenedSaysWhyInTheLog) {
    TermiosPortFactory ports({{1, "/nonexistent/ttyVELT0"}});
    RememberedPort dialog;
    link.ComPort = 1;
    link.ComMaxAttempts = 2;
    EXPECT_FALSE(OpenComPort(link, ports, dialog, clock, log));
    EXPECT_EQ(log.lines,
              std::vector<std::string>{"COM1 could not be used: open: (0x00000002) No such file or directory"});
}

TEST_F(OverPty, PollStoresTheFilteredStatusReply) {
    SimulatorProcess sim({"--protocol", "megatec"});
    Connect(sim);
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(PollExchange(link, cmd::kStatusMegatec, clock, clock));
    const auto took = std::chrono::steady_clock::now() - t0;
    EXPECT_EQ(link.ReplyText, "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001#");
    // 500 ms pause plus the 500 ms read time-out.
    EXPECT_GE(took, std::chrono::milliseconds(950));
    EXPECT_LT(took, std::chrono::milliseconds(2500));
}

TEST_F(OverPty, CommandRepliesStayRawAndEchoesShowThrough) {
    SimulatorProcess sim({"--protocol", "megatec", "--echo", "TL"});
    Connect(sim);
    EXPECT_EQ(ExchangeCommand(link, cmd::kRating, clock, log), "#220.0 003 12.00 50.0\r");
    EXPECT_TRUE(cmd::IsEcho(ExchangeCommand(link, cmd::kTestUntilLow, clock, log), cmd::kTestUntilLow));
    EXPECT_EQ(ExchangeCommand(link, cmd::kStatusMustek, clock, log), "QS\r");  // unsupported
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(OverPty, AReplyNobodyReadDoesNotLeadTheNextOne) {
    SimulatorProcess sim({"--protocol", "megatec"});
    Connect(sim);
    const std::string rating = "#220.0 003 12.00 50.0\r";
    const uint8_t send[] = {'F', '\r'};
    ASSERT_TRUE(link.ComHandle->StartWrite(send, sizeof send));
    ASSERT_EQ(link.ComHandle->WaitAlertable(2000), WaitOutcome::IoCompleted);
    ASSERT_TRUE(WaitUntilQueued(sim.PtyPath(), rating.size())) << "the rating reply never arrived";
    ASSERT_TRUE(PollExchange(link, cmd::kStatusMegatec, clock, clock));
    EXPECT_EQ(link.ReplyText, "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001#");
}

TEST_F(OverPty, FaultyRepliesAreStoredAsTheFilterSays) {
    {
        SimulatorProcess sim({"--fault", "trailing"});
        Connect(sim);
        ASSERT_TRUE(PollExchange(link, cmd::kStatusMegatec, clock, clock));
        EXPECT_EQ(link.ReplyText, "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001#");
    }
    {
        SimulatorProcess sim({"--fault", "long"});
        Connect(sim);
        ASSERT_TRUE(PollExchange(link, cmd::kStatusMegatec, clock, clock));
        EXPECT_EQ(link.ReplyText.size(), 255u);
    }
    {
        SimulatorProcess sim({"--fault", "silence"});
        Connect(sim);
        link.ReplyText = "(old#";
        EXPECT_FALSE(PollExchange(link, cmd::kStatusMegatec, clock, clock));
        EXPECT_EQ(link.ReplyText, "");
    }
}

}  // namespace
}  // namespace velt::test
