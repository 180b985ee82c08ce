#include "net/nut_protocol.h"

#include <map>
#include <set>

#include <gtest/gtest.h>

#include "net/nut_hosts.h"
#include "net/nut_login_guard.h"

namespace velt {
namespace {

TEST(NutProtocol, QuotedValuesComeBackWordForWordAndBrokenQuotingIsRefused) {
    for (const std::string value : {"OL", "Mini UPS 650", "say \"hi\"", "C:\\ups\\", "", "\\\"", " lead"}) {
        const auto words = NutTokenize("VAR ups ups.model " + NutQuote(value));
        ASSERT_TRUE(words) << value;
        EXPECT_EQ(*words, (std::vector<std::string>{"VAR", "ups", "ups.model", value}));
    }
    EXPECT_EQ(NutTokenize("  GET\tVAR  ups a\\ b \"\"x "), (std::vector<std::string>{"GET", "VAR", "ups", "a b", "x"}));
    EXPECT_EQ(NutTokenize(""), std::vector<std::string>{});
    EXPECT_FALSE(NutTokenize("PASSWORD \"open"));
    EXPECT_FALSE(NutTokenize("PASSWORD end\\"));
}

class FakeContext : public INutSessionContext {
public:
    NutConfig config{"ups", "monuser", "s3cret pass", "", ""};
    NutSnapshot snapshot{false, {{"ups.status", "OL"}, {"ups.model", "Mini \"UPS\""}, {"ups.load", "13"}}, ""};
    const NutSession* session = nullptr;
    bool forced = false;
    bool blocked = false;
    int failures = 0;

    const NutConfig& Config() override { return config; }
    const NutSnapshot& Snapshot() override { return snapshot; }
    std::vector<std::string> LoggedInAddresses() override {
        std::vector<std::string> addresses{"192.0.2.9"};
        if (session && session->LoggedIn()) addresses.push_back("::1");
        return addresses;
    }
    void ForceShutdown() override { forced = true; }
    bool LoginsBlocked() override { return blocked; }
    void LoginFailed() override { ++failures; }

    std::vector<std::string> ran;  // the commands handed over, in order
    std::map<std::string, NutCommandState> states;
    std::string RunInstantCommand(std::string_view name) override {
        ran.emplace_back(name);
        const std::string id = "id-" + std::to_string(ran.size());
        states[id] = NutCommandState::Pending;
        return id;
    }
    std::optional<NutCommandState> CommandState(const std::string& id) override {
        const auto found = states.find(id);
        return found == states.end() ? std::nullopt : std::optional(found->second);
    }
};

struct Exchange {
    std::string request, reply;
};

struct Conversation {
    const char* what;
    std::vector<Exchange> exchanges;
    bool stale = false;
    std::string user = "monuser";
    bool commands = false;            // "NUT Commands"
    std::vector<std::string> ran{};   // the commands that reached the UPS's side
    std::string description{};        // the UPS's own name
};

const std::string kStartupLists =
    "BEGIN LIST UPS\nUPS ups \"Veltrano\"\nEND LIST UPS\n";
const std::string kCommandList =
    "BEGIN LIST CMD ups\nCMD ups test.battery.start.quick\nCMD ups test.battery.start.deep\n"
    "CMD ups test.battery.stop\nCMD ups beeper.toggle\nCMD ups shutdown.return\nCMD ups shutdown.stop\n"
    "END LIST CMD ups\n";

std::vector<Conversation> Conversations() {
    return {
        {"the start-up of a client library, under the main name",
         {{"VER", "Veltrano network UPS server\n"},
          {"NETVER", "1.3\n"},
          {"HELP", "Commands: HELP VER NETVER PROTVER GET LIST SET INSTCMD LOGIN ATTACH LOGOUT DETACH USERNAME "
                   "PASSWORD PRIMARY MASTER FSD STARTTLS\n"},
          {"LIST UPS", kStartupLists},
          {"LIST CLIENT ups", "BEGIN LIST CLIENT ups\nCLIENT ups 192.0.2.9\nEND LIST CLIENT ups\n"},
          {"LIST CMD ups", "BEGIN LIST CMD ups\nEND LIST CMD ups\n"},
          {"LIST RW ups", "BEGIN LIST RW ups\nEND LIST RW ups\n"},
          {"LIST VAR ups", "BEGIN LIST VAR ups\nVAR ups ups.status \"OL\"\nVAR ups ups.model \"Mini \\\"UPS\\\"\"\n"
                           "VAR ups ups.load \"13\"\nEND LIST VAR ups\n"},
          {"GET UPSDESC ups", "UPSDESC ups \"Veltrano\"\n"},
          {"GET NUMLOGINS ups", "NUMLOGINS ups 1\n"},
          {"GET TYPE ups ups.model", "TYPE ups ups.model STRING:10\n"},
          {"GET TYPE ups ups.load", "TYPE ups ups.load NUMBER\n"},
          {"GET DESC ups ups.load", "DESC ups ups.load \"Load on UPS (percent)\"\n"},
          {"LIST ENUM ups ups.load", "BEGIN LIST ENUM ups ups.load\nEND LIST ENUM ups ups.load\n"},
          {"LIST RANGE ups ups.load", "BEGIN LIST RANGE ups ups.load\nEND LIST RANGE ups ups.load\n"}}},
        {"the alias answers as the UPS and is echoed; LIST UPS keeps the main name",
         {{"LIST VAR qnapups", "BEGIN LIST VAR qnapups\nVAR qnapups ups.status \"OL\"\n"
                               "VAR qnapups ups.model \"Mini \\\"UPS\\\"\"\nVAR qnapups ups.load \"13\"\n"
                               "END LIST VAR qnapups\n"},
          {"get var qnapups UPS.STATUS", "VAR qnapups ups.status \"OL\"\n"},
          {"GET TYPE qnapups ups.status", "TYPE qnapups ups.status STRING:32\n"},
          {"GET DESC qnapups ups.status", "DESC qnapups ups.status \"UPS status\"\n"},
          {"GET NUMLOGINS qnapups", "NUMLOGINS qnapups 1\n"},
          {"LIST UPS", kStartupLists}}},
        {"what is not there, and what is not said right",
         {{"GET VAR other ups.status", "ERR UNKNOWN-UPS\n"},
          {"LIST VAR other", "ERR UNKNOWN-UPS\n"},
          {"GET VAR ups battery.runtime", "ERR VAR-NOT-SUPPORTED\n"},
          {"GET TYPE ups battery.runtime", "ERR VAR-NOT-SUPPORTED\n"},
          {"LIST ENUM ups battery.runtime", "ERR VAR-NOT-SUPPORTED\n"},
          {"GET DESC ups battery.runtime", "ERR VAR-NOT-SUPPORTED\n"},
          {"GET CMDDESC ups load.off", "ERR CMD-NOT-SUPPORTED\n"},
          {"INSTCMD ups load.off", "ERR CMD-NOT-SUPPORTED\n"},
          {"SET VAR ups ups.load \"5\"", "ERR READONLY\n"},
          {"REQ ups.status", "ERR UNKNOWN-COMMAND\n"},
          {"\x01\xff garbage", "ERR UNKNOWN-COMMAND\n"},
          {"GET", "ERR INVALID-ARGUMENT\n"},
          {"GET VAR ups", "ERR INVALID-ARGUMENT\n"},
          {"GET TRACKING ups x", "ERR INVALID-ARGUMENT\n"},
          {"LIST VAR", "ERR INVALID-ARGUMENT\n"},
          {"USERNAME \"unterminated", "ERR INVALID-ARGUMENT\n"},
          {"STARTTLS", "ERR FEATURE-NOT-CONFIGURED\n"},
          {"", ""}}},
        {"stale readings are refused, their names still described",
         {{"GET VAR ups ups.status", "ERR DATA-STALE\n"},
          {"LIST VAR ups", "ERR DATA-STALE\n"},
          {"GET TYPE ups ups.status", "TYPE ups ups.status STRING:32\n"},
          {"LIST UPS", kStartupLists}},
         true},
        {"a secondary logs in once, counts among the logins, and says goodbye",
         {{"LOGIN ups", "ERR USERNAME-REQUIRED\n"},
          {"USERNAME monuser", "OK\n"},
          {"USERNAME other", "ERR ALREADY-SET-USERNAME\n"},
          {"LOGIN ups", "ERR PASSWORD-REQUIRED\n"},
          {"PASSWORD \"s3cret pass\"", "OK\n"},
          {"PASSWORD again", "ERR ALREADY-SET-PASSWORD\n"},
          {"LOGIN other", "ERR UNKNOWN-UPS\n"},
          {"LOGIN qnapups", "OK\n"},
          {"LOGIN ups", "ERR ALREADY-LOGGED-IN\n"},
          {"GET NUMLOGINS ups", "NUMLOGINS ups 2\n"},
          {"LIST CLIENT ups", "BEGIN LIST CLIENT ups\nCLIENT ups 192.0.2.9\nCLIENT ups ::1\nEND LIST CLIENT ups\n"},
          {"MASTER ups", "OK MASTER-GRANTED\n"},
          {"PRIMARY ups", "OK PRIMARY-GRANTED\n"},
          {"LOGOUT", "OK Goodbye\n"},
          {"GET NUMLOGINS ups", "NUMLOGINS ups 1\n"}}},
        {"a secondary that speaks RFC 9271's names attaches, is counted and detaches",
         {{"PROTVER", "1.3\n"},
          {"ATTACH ups", "ERR USERNAME-REQUIRED\n"},
          {"USERNAME monuser", "OK\n"},
          {"PASSWORD \"s3cret pass\"", "OK\n"},
          {"ATTACH", "ERR INVALID-ARGUMENT\n"},
          {"attach ups", "OK\n"},
          {"ATTACH qnapups", "ERR ALREADY-ATTACHED\n"},
          {"LOGIN ups", "ERR ALREADY-LOGGED-IN\n"},
          {"GET NUMATTACH ups", "NUMATTACH ups 2\n"},
          {"DETACH", "OK Goodbye\n"},
          {"GET NUMATTACH qnapups", "NUMATTACH qnapups 1\n"}}},
        {"a wrong password, then empty words",
         {{"PASSWORD \"\"", "ERR INVALID-PASSWORD\n"},
          {"USERNAME \"\"", "ERR INVALID-USERNAME\n"},
          {"USERNAME monuser", "OK\n"},
          {"PASSWORD \"s3cret pas\"", "OK\n"},
          {"LOGIN ups", "ERR ACCESS-DENIED\n"},
          {"PRIMARY ups", "ERR ACCESS-DENIED\n"},
          {"FSD ups", "ERR ACCESS-DENIED\n"}}},
        {"no user stored: nobody logs in or forces a shutdown",
         {{"USERNAME \"\"", "ERR INVALID-USERNAME\n"},
          {"PASSWORD \"\"", "ERR INVALID-PASSWORD\n"},
          {"USERNAME x", "OK\n"},
          {"PASSWORD \"s3cret pass\"", "OK\n"},
          {"FSD ups", "ERR ACCESS-DENIED\n"},
          {"LOGIN ups", "ERR ACCESS-DENIED\n"}},
         false,
         ""},
        {"the UPS named itself: LIST UPS and UPSDESC say so",
         {{"LIST UPS", "BEGIN LIST UPS\nUPS ups \"Megatec Mini 650\"\nEND LIST UPS\n"},
          {"GET UPSDESC qnapups", "UPSDESC qnapups \"Megatec Mini 650\"\n"}},
         false, "monuser", false, {}, "Megatec Mini 650"},
        {"commands off: none listed, described or run, even for the stored user",
         {{"LIST CMD ups", "BEGIN LIST CMD ups\nEND LIST CMD ups\n"},
          {"GET CMDDESC ups test.battery.start.quick", "ERR CMD-NOT-SUPPORTED\n"},
          {"USERNAME monuser", "OK\n"},
          {"PASSWORD \"s3cret pass\"", "OK\n"},
          {"INSTCMD ups test.battery.start.quick", "ERR CMD-NOT-SUPPORTED\n"}}},
        {"commands on: listed and described to anyone, run for nobody unknown",
         {{"LIST CMD ups", kCommandList},
          {"GET CMDDESC ups shutdown.return",
           "CMDDESC ups shutdown.return \"Turn off the load and return when power is back\"\n"},
          {"GET CMDDESC ups load.off", "ERR CMD-NOT-SUPPORTED\n"},
          {"INSTCMD ups test.battery.start.quick", "ERR ACCESS-DENIED\n"},
          {"USERNAME monuser", "OK\n"},
          {"INSTCMD ups test.battery.start.quick", "ERR ACCESS-DENIED\n"},
          {"PASSWORD \"s3cret\"", "OK\n"},
          {"INSTCMD ups test.battery.start.quick", "ERR ACCESS-DENIED\n"}},
         false, "monuser", true},
        {"commands on and the stored user: each offered one runs, the rest are refused as a server refuses",
         {{"USERNAME monuser", "OK\n"},
          {"PASSWORD \"s3cret pass\"", "OK\n"},
          {"INSTCMD ups test.battery.start.quick", "OK\n"},
          {"instcmd qnapups SHUTDOWN.RETURN", "OK\n"},
          {"INSTCMD ups load.off", "ERR CMD-NOT-SUPPORTED\n"},
          {"INSTCMD other beeper.toggle", "ERR UNKNOWN-UPS\n"},
          {"INSTCMD ups beeper.toggle 5", "ERR INVALID-ARGUMENT\n"},
          {"INSTCMD ups", "ERR INVALID-ARGUMENT\n"},
          {"INSTCMD ups shutdown.stop", "OK\n"}},
         false, "monuser", true, {"test.battery.start.quick", "shutdown.return", "shutdown.stop"}},
        {"commands on but no user stored: nobody runs them",
         {{"USERNAME x", "OK\n"},
          {"PASSWORD \"s3cret pass\"", "OK\n"},
          {"INSTCMD ups beeper.toggle", "ERR ACCESS-DENIED\n"}},
         false, "", true},
    };
}

TEST(NutProtocol, ConversationsGetTheRepliesAClientExpectsAndReachEveryErrorWord) {
    std::set<std::string> errorsSeen;
    for (const auto& conversation : Conversations()) {
        FakeContext context;
        context.snapshot.stale = conversation.stale;
        context.config.user = conversation.user;
        context.config.commands = conversation.commands;
        context.snapshot.description = conversation.description;
        NutSession session(context);
        context.session = &session;
        for (const auto& [request, expected] : conversation.exchanges) {
            const NutReply reply = session.Feed(request);
            EXPECT_EQ(reply.text, expected) << conversation.what << ": " << request;
            EXPECT_EQ(reply.close, request == "LOGOUT" || request == "DETACH") << conversation.what << ": " << request;
            if (reply.text.rfind("ERR ", 0) == 0) errorsSeen.insert(reply.text.substr(4, reply.text.size() - 5));
        }
        EXPECT_FALSE(context.forced) << conversation.what;
        EXPECT_EQ(context.ran, conversation.ran) << conversation.what;
    }
    errorsSeen.insert("INSTCMD-FAILED");  // a tracked outcome: the test below
    for (int e = 0; e <= static_cast<int>(NutError::InstcmdFailed); ++e)
        EXPECT_TRUE(errorsSeen.count(std::string(NutErrorWord(static_cast<NutError>(e))))) << e;
}

// SET TRACKING ON makes INSTCMD give an id; GET TRACKING follows the outcome
// the UPS's side reports, and turning it off gives the plain OK again.
TEST(NutProtocol, TrackedCommandsReportPendingThenTheirOutcome) {
    FakeContext context;
    context.config.commands = true;
    NutSession session(context);
    const auto ask = [&session](const char* line) { return session.Feed(line).text; };
    EXPECT_EQ(ask("GET TRACKING"), "OFF\n");
    for (const char* line : {"USERNAME monuser", "PASSWORD \"s3cret pass\"", "SET TRACKING ON"})
        ASSERT_EQ(ask(line), "OK\n");
    EXPECT_EQ(ask("GET TRACKING"), "ON\n");
    EXPECT_EQ(ask("INSTCMD ups test.battery.start.deep"), "OK TRACKING id-1\n");
    EXPECT_EQ(ask("INSTCMD ups beeper.toggle"), "OK TRACKING id-2\n");
    EXPECT_EQ(ask("GET TRACKING id-1"), "PENDING\n");
    const struct {
        NutCommandState state;
        const char* reply;
    } outcomes[] = {{NutCommandState::Success, "SUCCESS\n"},
                    {NutCommandState::Failed, "ERR INSTCMD-FAILED\n"},
                    {NutCommandState::Pending, "PENDING\n"}};
    for (const auto& [state, reply] : outcomes) {
        context.states["id-2"] = state;
        EXPECT_EQ(ask("GET TRACKING id-2"), reply);
    }
    EXPECT_EQ(ask("GET TRACKING id-9"), "ERR INVALID-ARGUMENT\n");
    EXPECT_EQ(ask("SET TRACKING MAYBE"), "ERR INVALID-ARGUMENT\n");
    EXPECT_EQ(ask("SET TRACKING off"), "OK\n");
    EXPECT_EQ(ask("INSTCMD ups test.battery.stop"), "OK\n");
    EXPECT_EQ(context.ran, (std::vector<std::string>{"test.battery.start.deep", "beeper.toggle", "test.battery.stop"}));
}

TEST(NutProtocol, OnlyTheStoredUserForcesAShutdown) {
    FakeContext context;
    context.config = {"rack", "admin", "pw", "", "Rack UPS"};
    NutSession session(context);
    for (const char* line : {"USERNAME admin", "PASSWORD pw"}) ASSERT_EQ(session.Feed(line).text, "OK\n");
    EXPECT_EQ(session.Feed("FSD ups").text, "ERR UNKNOWN-UPS\n");
    EXPECT_FALSE(context.forced);
    EXPECT_EQ(session.Feed("FSD rack").text, "OK FSD-SET\n");
    EXPECT_TRUE(context.forced);
    EXPECT_FALSE(session.LoggedIn());
    EXPECT_EQ(session.Feed("LIST UPS").text, "BEGIN LIST UPS\nUPS rack \"Rack UPS\"\nEND LIST UPS\n");
}

TEST(NutLoginGuard, FiveFailuresWithinTheWindowBlockForTheBlockAndTheOldestAddressIsForgottenWhenFull) {
    NutLoginGuard guard({5, std::chrono::seconds(60), std::chrono::seconds(60), 3});
    const auto at = [](int seconds) { return NutLoginGuard::Clock::time_point(std::chrono::seconds(seconds)); };
    for (const int t : {0, 20, 40, 59, 61}) EXPECT_FALSE(guard.Failed("a", at(t))) << t;  // over more than 60 s
    EXPECT_TRUE(guard.Failed("a", at(62)));
    EXPECT_TRUE(guard.Blocked("a", at(121)));
    EXPECT_FALSE(guard.Blocked("a", at(122)) || guard.Blocked("b", at(100)));
    for (const char* address : {"b", "c", "b", "b", "b", "b"}) guard.Failed(address, at(100));
    guard.Failed("d", at(102));  // a, still blocked, failed longest ago
    EXPECT_FALSE(guard.Blocked("a", at(103)));
    EXPECT_TRUE(guard.Blocked("b", at(103)));
}

TEST(NutAllowedHosts, AdmitsAddressesAndRangesOfBothFamiliesAndReportsWhatItCannotRead) {
    struct Case {
        const char* list;
        const char* peer;
        bool allowed;
    };
    const Case cases[] = {
        {"", "203.0.113.5", true},
        {" , ", "2001:db8::1", true},
        {"192.168.1.0/24", "192.168.1.77", true},
        {"192.168.1.0/24", "::ffff:192.168.1.77", true},
        {"192.168.1.0/24", "192.168.2.1", false},
        {"10.0.0.1", "10.0.0.1", true},
        {"10.0.0.1", "10.0.0.2", false},
        {"10.1.2.3/0", "172.16.0.1", true},
        {"10.1.2.3/0", "2001:db8::1", false},
        {"192.168.1.77/31", "192.168.1.76", true},
        {"192.168.1.77/31", "192.168.1.78", false},
        {"2001:db8:abcd::/48", "2001:db8:abcd:12::1", true},
        {"2001:db8:abcd::/48", "2001:db8:abce::1", false},
        {"2001:db8::/33", "2001:db8:7fff::1", true},
        {"2001:db8::/33", "2001:db8:8000::1", false},
        {"fe80::1", "fe80::1%2", true},
        {"::ffff:10.0.0.0/104", "10.9.8.7", true},
        {"::1, 127.0.0.1", "::1", true},
        {"::1, 127.0.0.1", "127.0.0.1", true},
        {"::1,127.0.0.1", "192.0.2.1", false},
        {"nas.local, 10.0.0.0/33, 10.0.0.5", "10.0.0.5", true},
        {"nas.local, 10.0.0.0/33, 10.0.0.5", "10.0.0.6", false},
        {"nas.local", "10.0.0.6", false},
        {"10.0.0.0/8", "not an address", false},
    };
    for (const auto& c : cases) EXPECT_EQ(NutAllowedHosts(c.list).Allows(c.peer), c.allowed) << c.list << " / " << c.peer;

    EXPECT_EQ(NutAllowedHosts(" nas.local ,10.0.0.0/33, 10.0.0.1/, 1.2.3.4/+8, ::1/129, 10.0.0.5 ,::/0").Ignored(),
              (std::vector<std::string>{"nas.local", "10.0.0.0/33", "10.0.0.1/", "1.2.3.4/+8", "::1/129"}));
}

}  // namespace
}  // namespace velt
