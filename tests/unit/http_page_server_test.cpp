#include "net/http_page_server.h"

#include <array>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "http_exchange.h"
#include "net/asio.h"

namespace velt {
namespace {

using test::Exchange;

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

// Echoes what reached it: the path in a header, user and password in the body.
// "/throw" throws what is no std::exception.
class EchoSource : public IPageSource {
public:
    PageResponse Answer(const PageRequest& request) override {
        if (request.path == "/throw") throw 7;
        std::lock_guard lock(mutex_);
        ++answered_;
        return {200, {{"X-Path", request.path}}, "text/plain", request.user + "|" + request.password};
    }
    int Answered() const {
        std::lock_guard lock(mutex_);
        return answered_;
    }

private:
    mutable std::mutex mutex_;
    int answered_ = 0;
};

TEST(HttpPageServer, AnswersKeptAliveAndPipelinedRequestsUntilStoppedAndRefusesABusyPort) {
    EchoSource source;
    std::vector<std::string> faults;  // read once the server's thread is joined
    HttpPageServer server(source, {}, [&faults](const std::string& what) { faults.push_back(what); });
    ASSERT_EQ(server.Start(0), HttpPageServer::StartResult::Listening);
    const uint16_t port = server.Port();
    EXPECT_TRUE(server.Active());

    HttpPageServer second(source);
    EXPECT_EQ(second.Start(port), HttpPageServer::StartResult::BindFailed);
    EXPECT_FALSE(second.Active());

    // A failure that is no std::exception costs only its own request, and is reported.
    EXPECT_EQ(Exchange(port, "GET /throw HTTP/1.0\r\n\r\n"), "");

    // A kept-alive 1.1 request, then a 1.0 HEAD in the same write: both
    // answered in order, the HEAD without its body, then the 1.0 close.
    const std::string answers = Exchange(
        port, "GET /page?x=1 HTTP/1.1\r\nHost: a\r\nAuthorization: Basic YWRtaW46U2VjcmV0\r\n\r\n"
              "HEAD /head HTTP/1.0\r\n\r\n");
    EXPECT_EQ(answers,
              "HTTP/1.1 200 OK\r\nX-Path: /page\r\nContent-Type: text/plain\r\nContent-Length: 12\r\n\r\nadmin|Secret"
              "HTTP/1.0 200 OK\r\nX-Path: /head\r\nContent-Type: text/plain\r\nContent-Length: 1\r\n\r\n");

    // A body is read and dropped; other methods are refused, the connection kept.
    const std::string refused = Exchange(port,
                                         "POST / HTTP/1.1\r\nHost: a\r\nContent-Length: 5\r\n\r\nhello"
                                         "GET /after HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(refused.find("HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\n"), 0u) << refused;
    EXPECT_NE(refused.find("X-Path: /after\r\n"), std::string::npos) << refused;
    EXPECT_EQ(source.Answered(), 3);

    server.Stop();
    EXPECT_FALSE(server.Active());
    EXPECT_EQ(faults, std::vector<std::string>{"unknown exception"});
    EXPECT_EQ(Exchange(port, "GET / HTTP/1.0\r\n\r\n"), "");

    // The same port again at once, the old connections in TIME_WAIT.
    ASSERT_EQ(server.Start(port), HttpPageServer::StartResult::Listening);
    EXPECT_NE(Exchange(port, "GET /again HTTP/1.0\r\n\r\n").find("X-Path: /again"), std::string::npos);
}

}  // namespace
}  // namespace velt
