// STARTTLS and implicit TLS in the SMTP client, with a fake TLS session that
// the fake-tls servers of tests/unit/smtp_peer.py speak. The real Schannel
// session is tested under Wine (tests/e2e/test_smtp_tls.py).
#include <gtest/gtest.h>

#include <algorithm>

#include "net/smtp_client.h"
#include "smtp_peer.h"

namespace velt::test {
namespace {

using Kind = SmtpOutcome::Kind;

// "FAKE-HELLO" answered by "FAKE-DONE"; records are the plaintext behind a
// TLS record header, at most 100 bytes each so that replies span records.
class FakeTlsSession final : public ITlsSession {
public:
    TlsStatus Handshake(std::string& received, std::string& toSend) override {
        if (!started_) {
            started_ = true;
            toSend += "FAKE-HELLO\r\n";
            return TlsStatus::NeedMore;
        }
        const std::string done = "FAKE-DONE\r\n";
        const size_t compared = std::min(received.size(), done.size());
        if (received.compare(0, compared, done, 0, compared) != 0) return TlsStatus::Failed;
        if (compared < done.size()) return TlsStatus::NeedMore;
        received.erase(0, done.size());
        return TlsStatus::Done;
    }
    bool Encrypt(std::string_view plain, std::string& records) override {
        for (size_t at = 0; at < plain.size(); at += 100) {
            const std::string_view part = plain.substr(at, 100);
            records += std::string{'\x17', '\x03', '\x03', '\0', static_cast<char>(part.size())};
            records += part;
        }
        return true;
    }
    // "TICKET" stands for a message after the handshake that wants an answer.
    TlsStatus DecryptRecord(std::string_view record, std::string& plain, std::string& toSend) override {
        if (record.substr(5) == "TICKET\r\n") {
            Encrypt("TICKET-ACK\r\n", toSend);
            return TlsStatus::Done;
        }
        plain += record.substr(5);
        return TlsStatus::Done;
    }
    std::string FailureReason() const override { return "fake handshake failed"; }
    bool CertificateRefused() const override { return false; }

private:
    bool started_ = false;
};

TlsSessionFactory FakeTls() {
    return [](const std::string&) { return std::make_unique<FakeTlsSession>(); };
}

struct Line {
    std::string text;
    bool tls;
};

// The command lines the peer received, up to QUIT or its silence.
std::vector<Line> LinesSeen(SmtpPeer& peer) {
    std::vector<Line> lines;
    for (ptree seen = peer.Next(); !seen.empty(); seen = peer.Next()) {
        lines.push_back({seen.get("line", ""), seen.get("tls", false)});
        if (lines.back().text == "QUIT") break;
    }
    return lines;
}

SmtpConnection StartTlsTo(const std::string& port) {
    return {"127.0.0.1", port, "ups-user", "pw", "ups@example.com", "a@example.com", true, SmtpSecurity::StartTls};
}

MailContent Mail() { return {"Warning", std::string(1000, 'x') + "\r\n", "PC", std::chrono::system_clock::now()}; }

TEST(SmtpStartTls, UpgradesBeforeAuthAndDropsPlaintextSentAfterThe220) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    for (const char* server : {"fake-tls", "fake-tls-inject"}) {
        SCOPED_TRACE(server);
        const SmtpOutcome outcome = SmtpSend(StartTlsTo(peer.Port(server)), Mail(), {}, FakeTls()).Run();
        EXPECT_EQ(outcome.kind, Kind::Success) << outcome.text << outcome.tlsFailure;
        const auto lines = LinesSeen(peer);
        ASSERT_GE(lines.size(), 4u);
        EXPECT_EQ(lines[0].text, "EHLO PC");
        EXPECT_EQ(lines[1].text, "STARTTLS");
        EXPECT_EQ(lines[2].text, "EHLO PC");
        EXPECT_EQ(lines[3].text, "AUTH LOGIN");
        for (size_t i = 2; i < lines.size(); ++i) EXPECT_TRUE(lines[i].tls) << lines[i].text;
        EXPECT_EQ(lines.back().text, "QUIT");
    }
}

TEST(SmtpStartTls, TheSessionsAnswerToAMessageAfterTheHandshakeGoesOutEncrypted) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    const SmtpOutcome outcome = SmtpSend(StartTlsTo(peer.Port("fake-tls-ticket")), Mail(), {}, FakeTls()).Run();
    EXPECT_EQ(outcome.kind, Kind::Success) << outcome.text << outcome.tlsFailure;
    const auto lines = LinesSeen(peer);
    const auto ack = std::find_if(lines.begin(), lines.end(), [](const Line& l) { return l.text == "TICKET-ACK"; });
    ASSERT_TRUE(ack != lines.end()) << "the peer saw no TICKET-ACK";
    EXPECT_TRUE(ack->tls);
}

TEST(SmtpStartTls, WithoutTlsNoAuthIsSentAndTheSendFails) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    const struct {
        const char* server;
        SmtpSecurity security;
        bool withTls;
        const char* reason;
    } cases[] = {
        {"fake-no-starttls", SmtpSecurity::StartTls, true, "The SMTP server offers no STARTTLS"},
        {"fake-tls", SmtpSecurity::StartTls, false, "This build has no TLS"},
        {"fake-tls", SmtpSecurity::ImplicitTls, false, "This build has no TLS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server);
        auto connection = StartTlsTo(peer.Port(c.server));
        connection.security = c.security;
        const SmtpOutcome outcome =
            SmtpSend(connection, Mail(), {}, c.withTls ? FakeTls() : TlsSessionFactory()).Run();
        EXPECT_EQ(outcome.kind, Kind::FailedWithoutText);
        EXPECT_EQ(outcome.tlsFailure, c.reason);
        if (!c.withTls) continue;  // it never connects
        for (const auto& line : LinesSeen(peer)) {
            EXPECT_EQ(line.text.rfind("AUTH", 0), std::string::npos) << line.text;
            EXPECT_EQ(line.text.rfind("MAIL", 0), std::string::npos) << line.text;
        }
    }
}

}  // namespace
}  // namespace velt::test
