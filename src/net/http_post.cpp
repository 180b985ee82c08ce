#include "net/http_post.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/control_chars.h"
#include "net/tls_stream.h"

namespace velt {

using Clock = std::chrono::steady_clock;

namespace {

// A head longer than this is no answer a push service gives.
constexpr size_t kHeadMax = 16384;
// What of a refusal's body the log gets.
constexpr size_t kBodyShownMax = 200;

struct StatusLine {
    int code = 0;
    std::string reason;
};

bool Digit(char c) { return c >= '0' && c <= '9'; }

// "HTTP/1.1 503 Service Unavailable"; the reason may be empty or missing.
std::optional<StatusLine> ParseStatusLine(std::string_view line) {
    if (line.size() < 12 || line.substr(0, 5) != "HTTP/" || !Digit(line[5]) || line[6] != '.' || !Digit(line[7]) ||
        line[8] != ' ' || !Digit(line[9]) || !Digit(line[10]) || !Digit(line[11]))
        return std::nullopt;
    if (line.size() > 12 && line[12] != ' ') return std::nullopt;
    const int code = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    return StatusLine{code, std::string(line.substr(std::min<size_t>(line.size(), 13)))};
}

// Text from the server on one line of the log.
std::string OneLine(std::string_view text, size_t most) {
    std::string out(text.substr(0, most));
    for (char& c : out)
        if (IsControl(c)) c = ' ';
    const size_t last = out.find_last_not_of(' ');
    out.resize(last == std::string::npos ? 0 : last + 1);
    return out.substr(std::min(out.find_first_not_of(' '), out.size()));
}

// Where the head ends and the body begins: after an empty line, whether
// the lines end in CR LF or, from a careless server, in LF alone.
std::optional<std::pair<size_t, size_t>> HeadEnd(const std::string& input) {
    const size_t crlf = input.find("\r\n\r\n"), lf = input.find("\n\n");
    if (crlf == std::string::npos && lf == std::string::npos) return std::nullopt;
    if (crlf < lf) return std::pair{crlf, crlf + 4};
    return std::pair{lf, lf + 2};
}

SendOutcome Failed(SendFailureKind kind, std::string detail) { return SendOutcome::Failed({kind}, std::move(detail)); }

SendOutcome Failed(const StreamFault& fault) { return SendOutcome::Failed(fault.failure, fault.text); }

bool UsableHeaders(const HttpRequest& request) {
    for (const auto& header : request.headers)
        if (!UsableHeaderName(header.name) || !UsableHeaderValue(header.value)) return false;
    return UsableHeaderValue(request.contentType);
}

}  // namespace

struct HttpPost::Impl {
    HttpRequest request;
    HttpLimits limits;
    TlsSessionFactory tlsFactory;
    TlsStream stream;

    Impl(HttpRequest r, HttpLimits l, TlsSessionFactory t)
        : request(std::move(r)), limits(l), tlsFactory(std::move(t)), stream("HTTP server", l.whole) {}

    // The answer to a status line: 2xx took the message; the reason and
    // what came of the body with the head say why another did not.
    static SendOutcome Answered(const StatusLine& status, std::string_view body) {
        if (status.code / 100 == 2) return SendOutcome::Sent();
        std::string detail = OneLine(status.reason, kBodyShownMax);
        const std::string said = OneLine(body, kBodyShownMax);
        if (!said.empty()) detail += (detail.empty() ? "" : ": ") + said;
        return SendOutcome::Failed({SendFailureKind::HttpStatus, status.code}, std::move(detail));
    }

    // Reads until a final answer's head is in; interim (1xx) answers are
    // passed over.
    SendOutcome ReadAnswer(Clock::time_point deadline) {
        std::string& input = stream.Input();
        for (;;) {
            const auto end = HeadEnd(input);
            if (!end) {
                if (input.size() > kHeadMax) return Failed(SendFailureKind::Other, "The HTTP server's answer is too long");
                if (const auto fault = stream.ReadSome(deadline)) return Failed(*fault);
                continue;
            }
            const auto status = ParseStatusLine(std::string_view(input).substr(0, input.find_first_of("\r\n")));
            if (!status)
                return Failed(SendFailureKind::Other, "Unreadable answer from the HTTP server: " + OneLine(input, 64));
            if (status->code / 100 != 1) return Answered(*status, std::string_view(input).substr(end->second));
            input.erase(0, end->second);
        }
    }

    SendOutcome Exchange() {
        const auto url = ParseHttpUrl(request.url);
        if (!url) return Failed(SendFailureKind::UnusableAddress, "The URL cannot be used");
        if (!UsableHeaders(request)) return Failed(SendFailureKind::UnusableAddress, "A header cannot be sent");
        if (url->https && !tlsFactory) return Failed(SendFailureKind::Other, "This build has no TLS");
        const auto deadline = Clock::now() + limits.whole;
        if (const auto fault = stream.Connect(url->host, url->port, deadline)) return Failed(*fault);
        if (url->https)
            if (const auto fault = stream.Handshake(tlsFactory(url->host), deadline)) return Failed(*fault);
        if (const auto fault = stream.Write(ComposeHttpPost(*url, request), deadline)) return Failed(*fault);
        return ReadAnswer(deadline);
    }

    SendOutcome Run() {
        SendOutcome outcome = Exchange();
        if (!outcome.sent && stream.Net().abandoned) outcome = Failed(SendFailureKind::Other, "The send was abandoned");
        stream.Close();
        return outcome;
    }
};

HttpPost::HttpPost(HttpRequest request, HttpLimits limits, TlsSessionFactory tls)
    : impl_(std::make_unique<Impl>(std::move(request), limits, std::move(tls))) {}

HttpPost::~HttpPost() = default;

SendOutcome HttpPost::Run() { return impl_->Run(); }

void HttpPost::Abandon() { impl_->stream.Net().Abandon(); }

}  // namespace velt
