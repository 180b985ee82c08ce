// The SMTP client against real SMTP servers on loopback (tests/unit/smtp_peer.py).
#include "net/smtp_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <sstream>
#include <thread>

#include "refusing_port.h"
#include "smtp_peer.h"

namespace velt::test {
namespace {

using namespace std::chrono_literals;
using boost::property_tree::ptree;
using Kind = SmtpOutcome::Kind;

SmtpConnection ConnectionTo(const std::string& port) {
    return {"127.0.0.1", port, "ups-user", "s3cret pass", "UPS Monitor <ups@example.com>",
            "a@example.com, \"Doe, Jo\" <jo@example.com>", true};
}

MailContent Report() {
    return {"Report - 29.02.2024 13:05:09 \xB0" "C " + std::string(60, '~'),
            "Temperature = 25.0 \xB0" "C\r\n.dot first\r\n" + std::string(120, '=') + "\r\n", "PC_1",
            std::chrono::system_clock::now()};
}

// The report's windows-1252 bytes as the peer's UTF-8: its only byte above
// 0x7F is the degree sign.
std::string AsUtf8(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\xB0' ? std::string("\xC2\xB0") : std::string(1, c);
    return out;
}

std::vector<std::string> Values(const ptree& list) {
    std::vector<std::string> out;
    for (const auto& [key, item] : list) out.push_back(item.data());
    return out;
}

size_t ThreadCount() {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                             std::filesystem::directory_iterator()));
}

TEST(SmtpClient, DeliversIntactAndAuthenticatesOnlyWhenWantedAndOffered) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    const struct {
        const char* server;
        bool auth;
        bool loginExpected;
        bool ehlo;
    } cases[] = {
        {"login", true, true, true},       {"login-old", true, true, true},
        {"login", false, false, true},     {"plain-only", true, false, true},
        {"plain", true, false, true},      {"helo-only", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.server) + (c.auth ? ", auth on" : ", auth off"));
        auto connection = ConnectionTo(peer.Port(c.server));
        connection.auth = c.auth;
        const MailContent content = Report();
        const SmtpOutcome outcome = SmtpSend(connection, content).Run();
        EXPECT_EQ(outcome.kind, Kind::Success) << outcome.text;

        const ptree seen = peer.Next();
        EXPECT_EQ(seen.get("server", ""), c.server);
        EXPECT_EQ(seen.get("login", ""), c.loginExpected ? "ups-user" : "null");
        EXPECT_EQ(seen.get("password", ""), c.loginExpected ? "s3cret pass" : "null");
        EXPECT_EQ(seen.get("helo", ""), "PC-1");
        EXPECT_EQ(seen.get("extended", ""), c.ehlo ? "true" : "false");
        EXPECT_EQ(seen.get("mail_from", ""), "ups@example.com");
        EXPECT_EQ(Values(seen.get_child("rcpt_tos", {})),
                  (std::vector<std::string>{"a@example.com", "jo@example.com"}));
        EXPECT_EQ(seen.get("from", ""), "UPS Monitor <ups@example.com>");
        EXPECT_EQ(seen.get("subject", ""), AsUtf8(content.subject));
        EXPECT_EQ(seen.get("x_mailer", ""), "Veltrano");
        EXPECT_EQ(seen.get("body", ""), AsUtf8(content.body));
        EXPECT_EQ(seen.get("defects", ""), "0");
    }
}

TEST(SmtpClient, FailuresShowTheServersReplyOrWhatWentWrong) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    const SmtpLimits limits{1000ms, 300ms, 300ms};
    const struct {
        const char* server;
        const char* mail;
        const char* text;  // the start of the outcome's text
    } cases[] = {
        {"plain", "a@example.com, refused@example.com",
         "550 5.1.1 <refused@example.com>: Recipient address rejected"},
        {"plain", "", "503 "},  // no recipient: the server refuses the transaction
        {"silent", "a@example.com", "No reply from the SMTP server within 300 ms"},
        {"drop", "a@example.com", "The SMTP server closed the connection"},
        {"flood-line", "a@example.com", "The SMTP server's reply is too long"},
        {"flood-lines", "a@example.com", "The SMTP server's reply is too long"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.server) + " <" + c.mail + ">");
        auto connection = ConnectionTo(peer.Port(c.server));
        connection.mail = c.mail;
        const auto start = std::chrono::steady_clock::now();
        const SmtpOutcome outcome = SmtpSend(connection, Report(), limits).Run();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(outcome.kind, Kind::FailedWithText);
        EXPECT_EQ(outcome.text.rfind(c.text, 0), 0u) << outcome.text;
        EXPECT_EQ(outcome.text.find_first_of("\r\n"), std::string::npos);
        // The reply limit, then the QUIT limit at most.
        EXPECT_LT(took, 1500ms);
        if (std::string(c.server) == "silent") {
            EXPECT_GE(took, 300ms);
        }
    }
}

TEST(SmtpClient, UnreachableServersFailWithoutText) {
    // Bound but not listening: connections to it are refused.
    const int closed = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(closed, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(getsockname(closed, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string closedPort = std::to_string(ntohs(address.sin_port));

    const std::pair<const char*, std::string> servers[] = {
        {"no-such-host.invalid", "25"}, {"127.0.0.1", closedPort}, {"127.0.0.1", "abc"},
        {"127.0.0.1", "0"},             {"127.0.0.1", "65536"},   {"127.0.0.1", ""},
        {"127.0.0.1", "25x"},           {"", "25"},
    };
    for (const auto& [host, port] : servers) {
        SCOPED_TRACE(std::string(host) + ":" + port);
        auto connection = ConnectionTo(port);
        connection.host = host;
        const auto start = std::chrono::steady_clock::now();
        const SmtpOutcome outcome = SmtpSend(connection, Report()).Run();
        EXPECT_EQ(outcome.kind, Kind::FailedWithoutText) << outcome.text;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    }
    close(closed);
}

TEST(SmtpClient, EachFailureSaysItsKindForTheOutbox) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    const RefusingPort refusing;
    const SmtpLimits limits{1000ms, 300ms, 300ms};
    const struct {
        const char* host;
        std::string port;
        const char* mail;
        SendFailureKind kind;
        int code;
    } cases[] = {
        {"127.0.0.1", peer.Port("plain"), "a@example.com, later@example.com", SendFailureKind::SmtpReply, 451},
        {"127.0.0.1", peer.Port("plain"), "refused@example.com", SendFailureKind::SmtpReply, 550},
        {"127.0.0.1", peer.Port("silent"), "a@example.com", SendFailureKind::TimedOut, 0},
        {"127.0.0.1", peer.Port("drop"), "a@example.com", SendFailureKind::ConnectionReset, 0},
        {"127.0.0.1", peer.Port("flood-line"), "a@example.com", SendFailureKind::Other, 0},
        {"127.0.0.1", refusing.Port(), "a@example.com", SendFailureKind::ConnectionRefused, 0},
        {"no-such-host.invalid", "25", "a@example.com", SendFailureKind::NameNotResolved, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.host) + ":" + c.port + " <" + c.mail + ">");
        auto connection = ConnectionTo(c.port);
        connection.host = c.host;
        connection.mail = c.mail;
        const SmtpOutcome outcome = SmtpSend(connection, Report(), limits).Run();
        EXPECT_NE(outcome.kind, Kind::Success);
        EXPECT_EQ(outcome.failure.kind, c.kind) << SendFailureText(outcome.failure) << " " << outcome.text;
        EXPECT_EQ(outcome.failure.code, c.code);
    }
}

TEST(SmtpClient, AbandonEndsTheSendPromptlyFromAnyThread) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    const size_t threadsBefore = ThreadCount();
    {
        SmtpSend early(ConnectionTo(peer.Port("silent")), Report());
        early.Abandon();
        EXPECT_EQ(early.Run().kind, Kind::FailedWithoutText);
    }
    {
        // The full 30 s reply limit: only Abandon can end this send soon.
        SmtpSend send(ConnectionTo(peer.Port("silent")), Report());
        std::promise<SmtpOutcome> result;
        std::thread sender([&] { result.set_value(send.Run()); });
        const ptree heard = peer.Next();  // the server has the EHLO; the client awaits its reply
        EXPECT_EQ(heard.get("line", "").rfind("EHLO ", 0), 0u);
        send.Abandon();
        auto outcome = result.get_future();
        const bool ended = outcome.wait_for(2s) == std::future_status::ready;
        EXPECT_TRUE(ended);
        sender.join();
        if (ended) {
            EXPECT_EQ(outcome.get().kind, Kind::FailedWithoutText);
        }
        send.Abandon();  // after Run: nothing left to end
    }
    EXPECT_EQ(ThreadCount(), threadsBefore);
}

}  // namespace
}  // namespace velt::test
