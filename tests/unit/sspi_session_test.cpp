// The TLS session against a scripted provider playing Schannel as Microsoft
// documents it: SECBUFFER_EXTRA in the handshake and after DecryptMessage,
// and SEC_I_RENEGOTIATE for what TLS 1.3 sends after the handshake and for a
// TLS 1.2 server's renegotiation. Each case checks the plaintext, what goes
// to the server, and every call made.
#include "net/sspi_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <vector>

namespace velt {
namespace {

using Texts = std::vector<std::string>;
using S = SecStatus;
using T = TlsStatus;
constexpr auto kInternalError = static_cast<SecStatus>(0x80090304u);
constexpr uint32_t kTls11 = sspi_protocol::kTls11, kTls12 = sspi_protocol::kTls12, kTls13 = sspi_protocol::kTls13;

// A call the session must make, and the provider's answer.
struct Answer {
    std::string call;   // "isc" (no input), "isc:INPUT", "decrypt:MESSAGE", "protocol", ...
    S status = S::Ok;
    std::string out = {};    // the output token, the plaintext, or the certificate's fault
    std::string extra = {};  // DecryptMessage's SECBUFFER_EXTRA
    size_t count = 0;   // InitializeContext: the bytes not taken; QueryProtocol: the protocol
};
using Script = std::vector<Answer>;

class ScriptedSspi final : public ISspiTable {
public:
    ScriptedSspi(const Script& script, Texts& calls) : script_(script.begin(), script.end()), calls_(calls) {}

    std::optional<std::string> LoadFailure() override { return std::nullopt; }
    S AcquireCredentials() override { return Next("acquire").status; }
    S InitializeContext(std::string* input, std::string& token, size_t& unprocessed) override {
        const Answer answer = Next(input ? "isc:" + *input : "isc");
        token += answer.out;
        unprocessed = answer.count;
        return answer.status;
    }
    S EncryptMessage(std::span<char>, RecordParts&) override { return Next("encrypt").status; }
    S DecryptMessage(std::string& message, std::string& plain, std::string& extra) override {
        const Answer answer = Next("decrypt:" + message);
        plain += answer.out;
        extra = answer.extra;
        return answer.status;
    }
    S QueryProtocol(uint32_t& protocol) override {
        const Answer answer = Next("protocol");
        protocol = static_cast<uint32_t>(answer.count);
        return answer.status;
    }
    S QueryStreamSizes(StreamSizes& sizes) override {
        sizes = {2, 4, 3};
        return Next("sizes").status;
    }
    std::optional<std::string> CertificateFault() override {
        std::string fault = Next("certificate").out;
        return fault.empty() ? std::nullopt : std::optional(fault);
    }
    std::string StatusText(S status) override {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
        return text;
    }

private:
    // A call past the script's end fails.
    Answer Next(std::string call) {
        calls_.push_back(std::move(call));
        if (script_.empty()) return {"", kInternalError};
        Answer answer = std::move(script_.front());
        script_.pop_front();
        return answer;
    }

    std::deque<Answer> script_;
    Texts& calls_;
};

Script Joined(Script first, const Script& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

Script Checks(uint32_t protocol) { return {{"protocol", S::Ok, "", "", protocol}, {"certificate"}, {"sizes"}}; }

// The client hello, then the server's flight read as "flight", then `then`.
Script AfterHandshake(uint32_t protocol, const Script& then) {
    return Joined(Joined({{"acquire"}, {"isc", S::ContinueNeeded, "hello"}, {"isc:flight"}}, Checks(protocol)), then);
}

struct Case {
    const char* what;
    Script script;
    Texts reads;  // the server's handshake flight, then records until one fails
    std::string plain, toSend;
    T status = T::Done;
    std::string failure = {};
    bool certificateRefused = false;  // the failure was the certificate check
};

const Case kCases[] = {
    {"two flights and the first record in one read: the record is left for decryption",
     Joined({{"acquire"}, {"isc", S::ContinueNeeded, "hello"}, {"isc:oneTWO[220]", S::ContinueNeeded, "", "", 8},
             {"isc:TWO[220]", S::Ok, "", "", 5}},
            Joined(Checks(kTls12), {{"decrypt:[220]", S::Ok, "220 ready"}})),
     {"oneTWO[220]"}, "220 ready", "hello"},
    {"a server of TLS 1.1 at best is refused before its certificate is looked at",
     {{"acquire"}, {"isc", S::ContinueNeeded, "hello"}, {"isc:flight"}, {"protocol", S::Ok, "", "", kTls11}},
     {"flight"}, "", "hello", T::Failed, "TLS handshake failed: the server offers nothing newer than TLS 1.1"},

    // TLS 1.3: NewSessionTicket and KeyUpdate come back as SEC_I_RENEGOTIATE.
    {"a ticket after the handshake, then application data",
     AfterHandshake(kTls13, {{"decrypt:[ticket]", S::Renegotiate, "", "ticket"}, {"isc:ticket"},
                             {"decrypt:[220]", S::Ok, "220 ready"}}),
     {"flight", "[ticket]", "[220]"}, "220 ready", "hello"},
    {"a ticket split over two reads",
     AfterHandshake(kTls13, {{"decrypt:[tick", S::Renegotiate, "", "tick"}, {"isc:tick", S::IncompleteMessage},
                             {"isc:tick-et]"}, {"decrypt:[250]", S::Ok, "250 ok"}}),
     {"flight", "[tick", "-et]", "[250]"}, "250 ok", "hello"},
    {"plaintext that came with the ticket is kept, and what followed it decrypted",
     AfterHandshake(kTls13, {{"decrypt:[both]", S::Renegotiate, "250-one ", "ticket[two]"},
                             {"isc:ticket[two]", S::Ok, "", "", 5}, {"decrypt:[two]", S::Ok, "250 two"}}),
     {"flight", "[both]"}, "250-one 250 two", "hello"},
    {"a key update asking for one back: the answer goes to the server",
     AfterHandshake(kTls13, {{"decrypt:[update]", S::Renegotiate, "", "update"}, {"isc:update", S::Ok, "my-update"},
                             {"decrypt:[250]", S::Ok, "250 ok"}}),
     {"flight", "[update]", "[250]"}, "250 ok", "hellomy-update"},
    {"a message after the handshake that Schannel refuses",
     AfterHandshake(kTls13, {{"decrypt:[bad]", S::Renegotiate, "", "bad"}, {"isc:bad", kInternalError, "alert"}}),
     {"flight", "[bad]", "[never]"}, "", "helloalert", T::Failed, "TLS handshake failed: 0x80090304"},

    // TLS 1.2: a server's renegotiation is a new handshake inside the session.
    {"a renegotiation: a new handshake, and its certificate checked again",
     AfterHandshake(kTls12, Joined({{"decrypt:[hello-request]", S::Renegotiate},
                                    {"isc:", S::ContinueNeeded, "hello-again"}, {"isc:[flight]"}},
                                   Joined(Checks(kTls12), {{"decrypt:[250]", S::Ok, "250 ok"}}))),
     {"flight", "[hello-request]", "[flight]", "[250]"}, "250 ok", "hellohello-again"},
    {"a renegotiation to a certificate for another name",
     AfterHandshake(kTls12, {{"decrypt:[hello-request]", S::Renegotiate}, {"isc:", S::ContinueNeeded, "hello-again"},
                             {"isc:[flight]"}, {"protocol", S::Ok, "", "", kTls12},
                             {"certificate", S::Ok, "Certificate name mismatch"}}),
     {"flight", "[hello-request]", "[flight]", "[250]"}, "", "hellohello-again", T::Failed,
     "Certificate name mismatch", true},
    {"a certificate from a CA not trusted here",
     Joined({{"acquire"}, {"isc", S::ContinueNeeded, "hello"}, {"isc:flight"}, {"protocol", S::Ok, "", "", kTls13},
             {"certificate", S::Ok, "Certificate not trusted: chain status 0x00000020"}}, {}),
     {"flight"}, "", "hello", T::Failed, "Certificate not trusted: chain status 0x00000020", true},

    // Records.
    {"two records in one message: the second is decrypted next",
     AfterHandshake(kTls12, {{"decrypt:[a][b]", S::Ok, "a", "[b]"}, {"decrypt:[b]", S::Ok, "b"}}),
     {"flight", "[a][b]"}, "ab", "hello"},
};

TEST(SspiSession, PlaysSchannelsHandshakeAndWhatComesAfterIt) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        Texts calls;
        const auto session = SspiSession(std::make_unique<ScriptedSspi>(c.script, calls));
        std::string left, plain, toSend;
        T status = session->Handshake(left, toSend);
        if (status == T::NeedMore) status = session->Handshake(left = c.reads.front(), toSend);
        // What the handshake left is records, as the SMTP client takes it.
        if (status == T::Done && !left.empty()) status = session->DecryptRecord(left, plain, toSend);
        for (size_t i = 1; i < c.reads.size() && status == T::Done; ++i)
            status = session->DecryptRecord(c.reads[i], plain, toSend);
        EXPECT_EQ(plain, c.plain);
        EXPECT_EQ(toSend, c.toSend);
        EXPECT_EQ(status, c.status);
        if (c.status == T::Failed) {
            EXPECT_EQ(session->FailureReason(), c.failure);
            EXPECT_EQ(session->CertificateRefused(), c.certificateRefused);
        }
        Texts expected;
        for (const Answer& answer : c.script) expected.push_back(answer.call);
        EXPECT_EQ(calls, expected);
    }
}

}  // namespace
}  // namespace velt
