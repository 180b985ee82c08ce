#include "net/http_page_server.h"

#include <algorithm>
#include <array>
#include <list>
#include <optional>
#include <string_view>

#include "net/asio.h"
#include "net/page_request_head.h"
#include "net/tcp_server_core.h"

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

namespace velt {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using ErrorCode = boost::system::error_code;

std::string_view View(beast::string_view text) { return {text.data(), text.size()}; }

class Connection;

// What every connection shares; touched on the server's thread only.
struct ServerCore {
    IPageSource& source;
    const PageServerLimits limits;
    std::list<Connection*> open{};
};

http::response<http::string_body> ToBeast(PageResponse page, unsigned version, bool keepAlive, bool headOnly) {
    http::response<http::string_body> response{static_cast<http::status>(page.status), version};
    for (const auto& [name, value] : page.headers) response.insert(name, value);
    if (!page.contentType.empty()) response.set(http::field::content_type, page.contentType);
    response.keep_alive(keepAlive);
    const size_t length = page.body.size();
    if (!headOnly) response.body() = std::move(page.body);
    response.content_length(length);
    return response;
}

enum class ReadFailure { Quietly, TooLarge, BodyTooLarge, Malformed };

ReadFailure Classify(const ErrorCode& ec) {
    if (ec == http::error::header_limit || ec == http::error::buffer_overflow) return ReadFailure::TooLarge;
    if (ec == http::error::body_limit) return ReadFailure::BodyTooLarge;
    if (ec == http::error::end_of_stream || ec == http::error::partial_message) return ReadFailure::Quietly;
    if (ec.category() == http::make_error_code(http::error::bad_method).category()) return ReadFailure::Malformed;
    return ReadFailure::Quietly;  // reset, closed by the server
}

// One client connection: waits for a request, reads its head (and drops its
// body), answers, and waits again while the client keeps it alive. Its
// pending operation holds it; the server's list holds only a pointer, removed
// when it closes. Deadlines are times that the server's sweep checks.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection(TcpSocket socket, ServerCore& core)
        : core_(core), socket_(std::move(socket)), buffer_(core.limits.headBytes),
          entry_(core.open.insert(core.open.end(), this)) {}
    ~Connection() { Close(); }

    // A new connection's first request has the head deadline from its start.
    void Start() { WaitForRequest(core_.limits.headDeadline); }

    // Idempotent; the pending operation ends with an error and releases it.
    void Close() {
        if (closed_) return;
        closed_ = true;
        core_.open.erase(entry_);
        ErrorCode ignored;
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }

    // Waiting for a request of which no byte has come yet.
    bool Idle() const { return waiting_ && !parser_->got_some(); }
    Clock::time_point IdleSince() const { return waitingSince_; }

    // Closes the connection past its deadline. A kept-alive one whose next
    // request has begun gets the head deadline from now on.
    void Sweep(Clock::time_point now) {
        if (keptAliveIdle_ && parser_->got_some()) {
            keptAliveIdle_ = false;
            deadline_ = now + core_.limits.headDeadline;
        }
        if (now >= deadline_) Close();
    }

private:
    void WaitForRequest(std::chrono::milliseconds untilHeadEnds) {
        parser_.emplace();
        parser_->header_limit(static_cast<uint32_t>(core_.limits.headBytes));
        parser_->body_limit(core_.limits.bodyBytes);
        waiting_ = true;
        waitingSince_ = Clock::now();
        deadline_ = waitingSince_ + untilHeadEnds;
        http::async_read_header(socket_, buffer_, *parser_, [self = shared_from_this()](ErrorCode ec, size_t) {
            self->waiting_ = self->keptAliveIdle_ = false;
            if (self->closed_) return;
            if (ec) return self->Fail(ec);
            self->DropBody();
        });
    }

    // A kept-alive connection may idle longer than a head may take; a
    // pipelined request already here gets the head deadline.
    void WaitForNextRequest() {
        if (buffer_.size() > 0) return WaitForRequest(core_.limits.headDeadline);
        keptAliveIdle_ = true;
        WaitForRequest(core_.limits.idleKeepAlive);
    }

    void DropBody() {
        if (parser_->is_done()) return Respond();
        parser_->get().body().data = sink_.data();
        parser_->get().body().size = sink_.size();
        http::async_read(socket_, buffer_, *parser_, [self = shared_from_this()](ErrorCode ec, size_t) {
            if (self->closed_) return;
            if (ec == http::error::need_buffer) ec = {};
            if (ec) return self->Fail(ec);
            self->DropBody();
        });
    }

    void Fail(const ErrorCode& ec) {
        switch (Classify(ec)) {
            case ReadFailure::TooLarge: return Refuse(431);
            case ReadFailure::BodyTooLarge: return Refuse(413);
            case ReadFailure::Malformed: return Refuse(400);
            case ReadFailure::Quietly: return Close();
        }
    }

    void Respond() {
        const auto& request = parser_->get();
        const bool keepAlive = request.keep_alive();
        const bool headOnly = request.method() == http::verb::head;
        if (!headOnly && request.method() != http::verb::get) {
            PageResponse refusal = StatusPage(405);
            refusal.headers = {{"Allow", "GET, HEAD"}};
            return Send(ToBeast(std::move(refusal), request.version(), keepAlive, false), !keepAlive);
        }
        PageResponse page;
        try {
            page = core_.source.Answer(
                PageRequestFromHead(View(request.target()), View(request[http::field::authorization])));
        } catch (const std::exception&) {
            page = StatusPage(500);
        }
        Send(ToBeast(std::move(page), request.version(), keepAlive, headOnly), !keepAlive);
    }

    void Refuse(int status) { Send(ToBeast(StatusPage(status), 11, false, false), true); }

    void Send(http::response<http::string_body> response, bool thenClose) {
        response_.emplace(std::move(response));
        deadline_ = Clock::now() + core_.limits.headDeadline;
        http::async_write(socket_, *response_, [self = shared_from_this(), thenClose](ErrorCode ec, size_t) {
            self->response_.reset();
            if (self->closed_) return;
            if (ec) return self->Close();
            if (thenClose) return self->Linger();
            self->WaitForNextRequest();
        });
    }

    // What the client sends meanwhile is read and dropped.
    void Linger() {
        deadline_ = StartLinger(socket_);
        DiscardUntilClosed();
    }

    void DiscardUntilClosed() {
        socket_.async_read_some(asio::buffer(sink_), [self = shared_from_this()](ErrorCode ec, size_t) {
            if (self->closed_) return;
            if (ec) return self->Close();
            self->DiscardUntilClosed();
        });
    }

    ServerCore& core_;
    TcpSocket socket_;
    beast::flat_buffer buffer_;  // at most one head, and what follows it
    std::optional<http::request_parser<http::buffer_body>> parser_;
    std::optional<http::response<http::string_body>> response_;
    std::array<char, 1024> sink_;  // request bodies and lingering bytes land here
    std::list<Connection*>::iterator entry_;
    bool closed_ = false;
    bool waiting_ = false;        // for a request head
    bool keptAliveIdle_ = false;  // waiting under the keep-alive deadline
    Clock::time_point waitingSince_, deadline_;
};

// Makes room for one more connection: closes the one idle longest. False when
// none is idle.
bool CloseLongestIdle(ServerCore& core) {
    Connection* longest = nullptr;
    for (Connection* c : core.open)
        if (c->Idle() && (!longest || c->IdleSince() < longest->IdleSince())) longest = c;
    if (!longest) return false;
    longest->Close();
    return true;
}

using PageCore = TcpServerCore<ServerCore, Connection>;

// With every place taken and none idle, the newcomer is closed.
void Admit(PageCore& core, TcpSocket socket) {
    if (core.shared.open.size() >= core.shared.limits.maxConnections && !CloseLongestIdle(core.shared)) return;
    core.Open(std::move(socket));
}

}  // namespace

HttpPageServer::HttpPageServer(IPageSource& source, PageServerLimits limits, TcpFaultSink fault)
    : source_(source), limits_(limits), fault_(std::move(fault)) {}

std::unique_ptr<ITcpServerRun> HttpPageServer::NewRun() {
    return std::make_unique<PageCore>(Admit, fault_, TcpSweepPeriod(std::min(limits_.headDeadline, limits_.idleKeepAlive)),
                                      source_, limits_);
}

}  // namespace velt
