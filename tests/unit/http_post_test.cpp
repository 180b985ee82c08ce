// The HTTP client against a server on loopback (tests/unit/http_peer.h): the
// answers that take the message, those that are tried again or given up,
// the network's faults, and the request as the server read it.
#include "net/http_post.h"

#include <gtest/gtest.h>

#include <future>

#include "http_peer.h"
#include "refusing_port.h"

namespace velt::test {
namespace {

using namespace std::chrono_literals;
using K = SendFailureKind;
using Then = HttpPeer::Then;
constexpr auto T = FailureClass::Transient, P = FailureClass::Permanent;

HttpRequest Post(const std::string& url) { return {url, {{"X-Test", "1"}}, "application/json", "{\"a\":1}"}; }

TEST(HttpPost, TheAnswerSaysWhetherTheMessageWentAndWhetherToTryAgain) {
    const struct {
        const char* what;
        std::string answer;
        Then then;
        bool sent;
        K kind;
        int code;
        FailureClass failureClass;
        const char* detail;
    } cases[] = {
        {"200", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", Then::Answer, true, K::Other, 0, T, ""},
        {"204", "HTTP/1.1 204 No Content\r\n\r\n", Then::Answer, true, K::Other, 0, T, ""},
        {"an interim answer first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created\r\n\r\n", Then::Answer, true,
         K::Other, 0, T, ""},
        {"lines ending in LF alone", "HTTP/1.0 202\n\n", Then::Answer, true, K::Other, 0, T, ""},
        {"a redirect is not followed", "HTTP/1.1 301 Moved Permanently\r\nLocation: http://127.0.0.1:1/\r\n\r\n",
         Then::Answer, false, K::HttpStatus, 301, P, "Moved Permanently"},
        {"404 with the body's words", "HTTP/1.1 404 Not Found\r\n\r\n{\"error\":\"no topic\"}\r\n", Then::Answer,
         false, K::HttpStatus, 404, P, "Not Found: {\"error\":\"no topic\"}"},
        {"429", "HTTP/1.1 429 Too Many Requests\r\n\r\n", Then::Answer, false, K::HttpStatus, 429, T,
         "Too Many Requests"},
        {"503", "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 60\r\n\r\n", Then::Answer, false, K::HttpStatus,
         503, T, "Service Unavailable"},
        {"no HTTP", "SSH-2.0-OpenSSH\r\n\r\n", Then::Answer, false, K::Other, 0, T,
         "Unreadable answer from the HTTP server: SSH-2.0-OpenSSH"},
        {"closed unanswered", "", Then::Close, false, K::ConnectionReset, 0, T,
         "The HTTP server closed the connection"},
        {"never answers", "", Then::Silence, false, K::TimedOut, 0, T, "No reply from the HTTP server within 300 ms"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HttpPeer peer(c.answer, c.then);
        const auto start = std::chrono::steady_clock::now();
        const SendOutcome outcome = HttpPost(Post(peer.Url("/hook")), {300ms}).Run();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(outcome.sent, c.sent) << outcome.detail;
        EXPECT_EQ(outcome.detail, c.detail);
        EXPECT_LT(took, 1500ms);
        if (c.sent) continue;
        EXPECT_EQ(outcome.failure.kind, c.kind);
        EXPECT_EQ(outcome.failure.code, c.code);
        EXPECT_EQ(ClassifyFailure(outcome.failure), c.failureClass);
        if (c.then == Then::Silence) {
            EXPECT_GE(took, 300ms);
        }
    }
}

TEST(HttpPost, TheServerReadsOneWellFramedRequest) {
    HttpPeer peer("HTTP/1.1 200 OK\r\n\r\n");
    HttpRequest request{peer.Url("/hook/a?b=1#frag"), {{"Authorization", "Bearer t0k"}},
                        "application/json; charset=utf-8", "{\"event\":\"Power Fail\"}"};
    ASSERT_TRUE(HttpPost(request).Run().sent);
    EXPECT_EQ(peer.Received(), "POST /hook/a?b=1 HTTP/1.1\r\n"
                               "Host: 127.0.0.1:" + std::to_string(peer.Port()) + "\r\n"
                               "User-Agent: Veltrano\r\n"
                               "Content-Type: application/json; charset=utf-8\r\n"
                               "Content-Length: 22\r\n"
                               "Connection: close\r\n"
                               "Authorization: Bearer t0k\r\n"
                               "\r\n"
                               "{\"event\":\"Power Fail\"}");
}

// A session that fails its handshake at once, as on a certificate check or
// another fault.
class FailingTls final : public ITlsSession {
public:
    explicit FailingTls(bool certificate) : certificate_(certificate) {}
    TlsStatus Handshake(std::string&, std::string&) override { return TlsStatus::Failed; }
    bool Encrypt(std::string_view, std::string&) override { return false; }
    TlsStatus DecryptRecord(std::string_view, std::string&, std::string&) override { return TlsStatus::Failed; }
    std::string FailureReason() const override { return certificate_ ? "Certificate not trusted" : "TLS broke"; }
    bool CertificateRefused() const override { return certificate_; }

private:
    bool certificate_;
};

TlsSessionFactory Failing(bool certificate) {
    return [certificate](const std::string&) { return std::make_unique<FailingTls>(certificate); };
}

TEST(HttpPost, WhatNeverReachesAServerSaysWhy) {
    HttpPeer peer("HTTP/1.1 200 OK\r\n\r\n");
    const std::string https = "https://127.0.0.1:" + std::to_string(peer.Port()) + "/";
    const RefusingPort refusing;
    const struct {
        HttpRequest request;
        TlsSessionFactory tls;
        K kind;
        const char* detail;  // its start
    } cases[] = {
        {Post("http://127.0.0.1:" + refusing.Port() + "/"), {}, K::ConnectionRefused,
         "Cannot connect to the HTTP server"},
        {Post("http://no-such-host.invalid/"), {}, K::NameNotResolved, "Cannot connect to the HTTP server"},
        {Post("ftp://127.0.0.1/"), {}, K::UnusableAddress, "The URL cannot be used"},
        {Post(peer.Url("/\r\nX-Injected: 1")), {}, K::UnusableAddress, "The URL cannot be used"},
        {{peer.Url(), {{"X-Bad", "a\r\nX-Injected: 1"}}, "text/plain", ""}, {}, K::UnusableAddress,
         "A header cannot be sent"},
        {{peer.Url(), {{"Content-Length", "0"}}, "text/plain", ""}, {}, K::UnusableAddress,
         "A header cannot be sent"},
        {Post(https), {}, K::Other, "This build has no TLS"},
        {Post(https), Failing(true), K::CertificateRefused, "Certificate not trusted"},
        {Post(https), Failing(false), K::Other, "TLS broke"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.url);
        const SendOutcome outcome = HttpPost(c.request, {1000ms}, c.tls).Run();
        EXPECT_FALSE(outcome.sent);
        EXPECT_EQ(outcome.failure.kind, c.kind) << outcome.detail;
        EXPECT_EQ(outcome.detail.rfind(c.detail, 0), 0u) << outcome.detail;
    }
}

TEST(HttpPost, AbandonEndsTheSendPromptlyFromAnyThread) {
    HttpPeer peer("", Then::Silence);
    {
        HttpPost early(Post("http://127.0.0.1:1/"));
        early.Abandon();
        EXPECT_FALSE(early.Run().sent);
    }
    HttpPost post(Post(peer.Url()), {30s});
    std::promise<SendOutcome> result;
    std::thread sender([&] { result.set_value(post.Run()); });
    EXPECT_FALSE(peer.Received().empty());  // the request is in; the client awaits the answer
    post.Abandon();
    auto outcome = result.get_future();
    const bool ended = outcome.wait_for(2s) == std::future_status::ready;
    EXPECT_TRUE(ended);
    sender.join();
    if (ended) {
        const SendOutcome abandoned = outcome.get();
        EXPECT_FALSE(abandoned.sent);
        EXPECT_EQ(abandoned.failure.kind, K::Other);
    }
    post.Abandon();
}

}  // namespace
}  // namespace velt::test
