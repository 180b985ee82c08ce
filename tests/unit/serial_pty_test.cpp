// The serial exchange against the UPS simulator over a real pty.
#include <gtest/gtest.h>

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

struct OverPty : ::testing::Test {
    PosixClock clock;
    FakeLog log;
    TUPSLink link;

    void Connect(const SimulatorProcess& sim) {
        ASSERT_FALSE(sim.PtyPath().empty()) << "simulator did not start";
        TermiosPortFactory ports({{1, sim.PtyPath()}});
        RememberedPort dialog;
        link.ComPort = 1;
        ASSERT_TRUE(OpenComPort(link, ports, dialog, clock));
        link.ComActive = true;
        link.Q1Supported = true;
    }
};

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
