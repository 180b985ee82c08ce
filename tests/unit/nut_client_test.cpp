// The NUT client against scripted servers on loopback (fake_nut_server.h):
// the login and its refusals, and servers that stall, trickle, close, flood
// or send garbage, each with short limits so that a hang shows as a failure.
#include "net/nut_client.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <future>
#include <map>

#include "fake_nut_server.h"
#include "net/nut_protocol.h"

namespace velt::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const NutClientLimits kShort{500ms, 300ms, 200ms};

// Answers by the request's first word; "OK" for any other.
FakeScript AnswerByCommand(std::map<std::string, std::string> answers) {
    return [answers = std::move(answers)](const std::string& request) {
        const auto found = answers.find(request.substr(0, request.find(' ')));
        return FakeAnswer{{found == answers.end() ? std::string("OK\n") : found->second}};
    };
}

TEST(NutClientLogin, SendsTheSequenceAndStopsAtTheFirstRefusal) {
    struct Case {
        const char* name;
        std::string user, password;
        std::map<std::string, std::string> answers;
        const char* error;
        std::vector<std::string> requests;
        bool connectedAfter;
    };
    const std::vector<std::string> all = {"USERNAME \"monuser\"", "PASSWORD \"secret\"", "LOGIN ups"};
    const Case cases[] = {
        {"accepted", "monuser", "secret", {}, "", all, true},
        {"upsd's OK with words after it", "monuser", "secret", {{"LOGIN", "OK Welcome\n"}}, "", all, true},
        {"no user: nothing is sent", "", "secret", {}, "", {}, true},
        {"a wrong password shows at LOGIN", "monuser", "secret", {{"LOGIN", "ERR ACCESS-DENIED\n"}},
         "ERR ACCESS-DENIED", all, true},
        {"the error word without the words after it", "monuser", "secret",
         {{"USERNAME", "ERR INVALID-USERNAME no such user\n"}}, "ERR INVALID-USERNAME", {all[0]}, true},
        {"an unknown UPS", "monuser", "secret", {{"LOGIN", "ERR UNKNOWN-UPS\n"}}, "ERR UNKNOWN-UPS", all, true},
        {"nonsense closes the connection", "monuser", "secret", {{"PASSWORD", "HELLO\n"}},
         "unexpected reply: HELLO", {all[0], all[1]}, false},
        {"a CR LF line end is a line end", "monuser", "secret", {{"LOGIN", "ERR ACCESS-DENIED\r\n"}},
         "ERR ACCESS-DENIED", all, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeNutServer server(AnswerByCommand(c.answers));
        NutClient client(kShort);
        ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()).Ok());
        EXPECT_EQ(client.Login(c.user, c.password, "ups").error, c.error);
        EXPECT_EQ(client.Connected(), c.connectedAfter);
        client.Logout();
        auto requests = server.Requests();
        if (c.connectedAfter) {
            ASSERT_FALSE(requests.empty());
            EXPECT_EQ(requests.back(), "LOGOUT");
            requests.pop_back();
        }
        EXPECT_EQ(requests, c.requests);
    }
}

// The server's own tokenizer gives back what was typed: blanks, quotes and
// backslashes survive; a line end, which would start a request of its own,
// is refused before anything is sent.
TEST(NutClientLogin, CredentialsArriveIntactOrNotAtAll) {
    struct Case {
        std::string user, password, ups;
        const char* error;  // the start of it; "" for none
    };
    const Case cases[] = {
        {"mon user", "pa \"ss\\word", "ups", ""},
        {"monuser", "line\nLOGOUT", "ups", "login: a control character"},
        {"mon\ruser", "secret", "ups", "login: a control character"},
        {"monuser", "secret", "two words", "login: not a UPS name"},
        {"monuser", "secret", "", "login: not a UPS name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        FakeNutServer server(AnswerByCommand({}));
        NutClient client(kShort);
        ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()).Ok());
        const std::string error = client.Login(c.user, c.password, c.ups).error;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        const auto requests = server.Requests();
        if (*c.error != '\0') {
            EXPECT_TRUE(requests.empty());
            continue;
        }
        ASSERT_EQ(requests.size(), 3u);
        EXPECT_EQ(NutTokenize(requests[0]), (std::vector<std::string>{"USERNAME", c.user}));
        EXPECT_EQ(NutTokenize(requests[1]), (std::vector<std::string>{"PASSWORD", c.password}));
    }
}

std::string VarLines(int count, size_t valueBytes) {
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += "VAR ups v" + std::to_string(i) + " \"" + std::string(valueBytes, 'x') + "\"\n";
    return lines;
}

TEST(NutClientHostileServer, EveryListEndsWithinItsLimitAndSaysWhy) {
    const std::string begin = "BEGIN LIST VAR ups\n", end = "END LIST VAR ups\n";
    std::vector<std::string> trickle(20, "VAR ups a \"1\"\n");
    trickle.front() = begin;
    struct Case {
        const char* name;
        FakeAnswer answer;
        const char* error;  // the start of it
        bool connectedAfter;
    };
    const Case cases[] = {
        {"stalls", {}, "reply: timed out", false},
        {"stalls midway through the list", {{begin + VarLines(3, 4)}}, "reply: timed out", false},
        {"trickles a line at a time, each within the limit",
         {trickle, 100ms}, "reply: timed out", false},
        {"closes at once", {{}, 0ms, true}, "server closed the connection", false},
        {"closes midway through the list", {{begin + VarLines(3, 4)}, 0ms, true}, "server closed the connection",
         false},
        {"closes midway through a line", {{begin + "VAR ups a \"1"}, 0ms, true}, "server closed the connection",
         false},
        {"floods one endless line", {{std::string(1 << 20, 'x')}}, "reply too long", false},
        {"floods a line with no end in pieces", {std::vector<std::string>(40, std::string(512, 'y')), 1ms},
         "reply too long", false},
        {"floods lines", {{begin + VarLines(2000, 1) + end}}, "reply too long", false},
        {"floods bytes in lines each short enough", {{begin + VarLines(100, 3000) + end}}, "reply too long",
         false},
        {"binary garbage", {{std::string("\x00\xff\x01\x1b[2J\n", 8)}}, "unexpected reply: ", false},
        {"a VAR line of another UPS", {{begin + "VAR other a \"1\"\n" + end}}, "unexpected reply: VAR other", false},
        {"an unterminated quote", {{begin + "VAR ups a \"1\n" + end}}, "unexpected reply: VAR ups a", false},
        {"a list of another UPS", {{"BEGIN LIST VAR other\n" + end}}, "unexpected reply: BEGIN LIST VAR other",
         false},
        {"a refusal keeps the connection", {{"ERR DATA-STALE\n"}}, "ERR DATA-STALE", true},
        {"an ERR with no word is nonsense", {{"ERR\n"}}, "unexpected reply: ERR", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeNutServer server([&c](const std::string&) { return c.answer; });
        NutClient client(kShort);
        ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()).Ok());
        const auto start = Clock::now();
        const NutListing listing = client.ListVar("ups");
        EXPECT_LT(Clock::now() - start, 1000ms);
        EXPECT_EQ(listing.error.rfind(c.error, 0), 0u) << listing.error;
        EXPECT_EQ(listing.error.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
        EXPECT_TRUE(listing.variables.empty());
        EXPECT_EQ(client.Connected(), c.connectedAfter);
        if (!c.connectedAfter) {
            EXPECT_EQ(client.ListVar("ups").error, "not connected");
        }
    }
}

// The list's limits are not off by one: a list right at them is read whole.
TEST(NutClientHostileServer, AListAtTheLimitsIsReadWhole) {
    NutClientLimits limits = kShort;
    limits.listLines = 1000;
    const std::string body = VarLines(1000, 1);
    limits.listBytes = body.size();
    FakeNutServer server([&](const std::string&) {
        return FakeAnswer{{"BEGIN LIST VAR ups\n" + body + "END LIST VAR ups\n"}};
    });
    NutClient client(limits);
    ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()).Ok());
    const NutListing listing = client.ListVar("ups");
    EXPECT_TRUE(listing.Ok()) << listing.error;
    EXPECT_EQ(listing.variables.size(), 1000u);
    EXPECT_EQ(listing.variables.at("v999"), "x");
}

TEST(NutClientConnect, FailuresSayWhyWithinTheLimit) {
    // A port nobody listens on: one taken and given back.
    uint16_t closedPort = 0;
    {
        FakeNutServer gone(AnswerByCommand({}));
        closedPort = gone.Port();
    }
    // A listener whose queue is full and which never accepts: the handshake
    // is never answered, as with a host that is down.
    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor full(io, {boost::asio::ip::make_address_v4("127.0.0.1"), 0});
    full.listen(0);
    std::vector<boost::asio::ip::tcp::socket> queued;
    for (int i = 0; i < 4; ++i) {
        // Started, never waited for: the context does not run.
        queued.emplace_back(io).async_connect(full.local_endpoint(), [](const boost::system::error_code&) {});
    }
    struct Case {
        const char* name;
        std::string host;
        uint16_t port;
        const char* error;
    } cases[] = {
        {"refused", "127.0.0.1", closedPort, "connect: Connection refused"},
        {"no host", "", 3493, "connect: no host"},
        {"never answered", "127.0.0.1", full.local_endpoint().port(), "connect: timed out"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NutClient client(kShort);
        const auto start = Clock::now();
        EXPECT_EQ(client.Connect(c.host, c.port).error, c.error);
        EXPECT_LT(Clock::now() - start, 1000ms);
        EXPECT_FALSE(client.Connected());
        EXPECT_EQ(client.Login("u", "p", "ups").error, "not connected");
    }
}

TEST(NutClientAbandon, EndsAStalledCallFromAnotherThreadAndEveryLaterOne) {
    FakeNutServer server([](const std::string&) { return FakeAnswer{}; });
    NutClient client;  // the real five seconds: only Abandon can end the wait soon
    ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()).Ok());
    const auto start = Clock::now();
    auto listing = std::async(std::launch::async, [&client] { return client.ListVar("ups"); });
    std::this_thread::sleep_for(100ms);
    client.Abandon();
    EXPECT_EQ(listing.get().error, "abandoned");
    EXPECT_LT(Clock::now() - start, 2000ms);
    EXPECT_EQ(client.Connect("127.0.0.1", server.Port()).error, "abandoned");
}

TEST(NutClientLogout, SaysGoodbyeAndClosesEvenToAStalledServer) {
    for (const bool stalls : {false, true}) {
        SCOPED_TRACE(stalls ? "stalls" : "answers");
        FakeNutServer server([stalls](const std::string&) {
            return stalls ? FakeAnswer{} : FakeAnswer{{"OK Goodbye\n"}, 0ms, true};
        });
        NutClient client(kShort);
        ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()).Ok());
        const auto start = Clock::now();
        client.Logout();
        EXPECT_LT(Clock::now() - start, 600ms);
        EXPECT_FALSE(client.Connected());
        EXPECT_EQ(server.Requests(), std::vector<std::string>{"LOGOUT"});
    }
}

}  // namespace
}  // namespace velt::test
