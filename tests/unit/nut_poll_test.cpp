// The worker's side of a UPS on a NUT server, against a scripted server:
// when it connects, what it leaves for the main thread, how it sends a
// command, and the LOGOUT it ends with.
#include "app/nut_poll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "fake_nut_server.h"
#include "fakes.h"

namespace velt::test {
namespace {

using namespace std::chrono_literals;

const NutClientLimits kShort{500ms, 300ms, 200ms};
const std::string kList = "BEGIN LIST VAR ups\nVAR ups ups.status \"OB\"\nEND LIST VAR ups\n";

struct NutPollRig : ::testing::Test {
    std::atomic<bool> closeOnList{false}, staleOnList{false};
    FakeNutServer server{[this](const std::string& request) -> FakeAnswer {
        if (request == "LIST VAR ups") {
            if (closeOnList) return {{}, 0ms, true};
            return {{staleOnList ? "ERR DATA-STALE\n" : kList}};
        }
        if (request == "LIST CMD ups")
            return {{"BEGIN LIST CMD ups\nCMD ups test.battery.start.quick\nEND LIST CMD ups\n"}};
        if (request.rfind("INSTCMD", 0) == 0) return {{"ERR ACCESS-DENIED\n"}};
        return {{"OK\n"}};
    }};
    VirtualTime time;
    NutShared shared;
    NutPoll poll{shared, time, kShort};

    void Ask(bool connectAllowed) {
        std::lock_guard<std::mutex> guard(shared.mutex);
        shared.request.monitoring = true;
        shared.request.target = {"127.0.0.1", server.Port(), "ups", "monuser", "secret"};
        shared.request.connectAllowed = connectAllowed;
    }
    NutFindings Findings() {
        std::lock_guard<std::mutex> guard(shared.mutex);
        return shared.findings;
    }
    long Sent(const std::string& request) {
        const auto requests = server.Requests();
        return std::count(requests.begin(), requests.end(), request);
    }
};

TEST_F(NutPollRig, ConnectsWhenAllowedReadsAndSendsACommandBeforeTheReading) {
    EXPECT_FALSE(poll.Poll().message);  // not monitoring: nothing asked, nothing sent
    Ask(false);
    EXPECT_EQ(poll.Poll().message, WorkerMessage::FailedPoll);  // no connect allowed yet
    EXPECT_TRUE(server.Requests().empty());

    Ask(true);
    EXPECT_EQ(poll.Poll().message, WorkerMessage::Reply);
    NutFindings found = Findings();
    EXPECT_TRUE(found.connected);
    EXPECT_EQ(found.variables->at("ups.status"), "OB");
    EXPECT_EQ(found.commands, (std::set<std::string>{"test.battery.start.quick"}));
    EXPECT_EQ(Sent("LOGIN ups"), 1);

    {
        std::lock_guard<std::mutex> guard(shared.mutex);
        shared.request.command = "test.battery.start.quick";
    }
    EXPECT_EQ(poll.Poll().message, WorkerMessage::Reply);
    found = Findings();
    ASSERT_TRUE(found.commandOutcome);
    EXPECT_EQ(found.commandOutcome->error, "ERR ACCESS-DENIED");
    EXPECT_EQ(Sent("INSTCMD ups test.battery.start.quick"), 1);
    EXPECT_EQ(Sent("USERNAME \"monuser\""), 1);  // one connection throughout

    poll.Interrupt();  // an idle worker keeps its connection for the LOGOUT
    poll.Finish();
    EXPECT_EQ(Sent("LOGOUT"), 1);
}

TEST_F(NutPollRig, StaleDataKeepsTheConnectionABrokenOneIsTriedOnceAtOnce) {
    Ask(true);
    ASSERT_EQ(poll.Poll().message, WorkerMessage::Reply);

    staleOnList = true;
    EXPECT_EQ(poll.Poll().message, WorkerMessage::FailedPoll);
    EXPECT_EQ(Findings().problem, "ERR DATA-STALE");
    EXPECT_FALSE(Findings().variables);
    staleOnList = false;
    EXPECT_EQ(poll.Poll().message, WorkerMessage::Reply);
    EXPECT_EQ(Findings().problem, "");
    EXPECT_EQ(Sent("LOGIN ups"), 1);

    closeOnList = true;
    EXPECT_EQ(poll.Poll().message, WorkerMessage::FailedPoll);
    EXPECT_EQ(Findings().problem, "server closed the connection");
    EXPECT_FALSE(Findings().connected);
    EXPECT_EQ(poll.Poll().message, WorkerMessage::FailedPoll);  // the one try at once,
    EXPECT_EQ(Sent("LOGIN ups"), 2);
    EXPECT_EQ(poll.Poll().message, WorkerMessage::FailedPoll);  // and none after a try that read nothing
    EXPECT_EQ(Sent("LOGIN ups"), 2);
    Ask(true);  // the main thread's reconnect rule
    EXPECT_EQ(poll.Poll().message, WorkerMessage::FailedPoll);
    EXPECT_EQ(Sent("LOGIN ups"), 3);
}

}  // namespace
}  // namespace velt::test
