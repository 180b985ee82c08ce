#pragma once
// One HTTP/1.1 POST over one connection, in the clear or over TLS, for the
// push channels. The send runs on the calling thread with its own I/O
// context, within one limit for the whole request; Abandon ends it from any
// thread. Redirects are not followed, and the answer's body is not waited for.
#include <chrono>
#include <memory>

#include "net/http_request.h"
#include "net/tls_session.h"
#include "reports/outbox_channel.h"

namespace velt {

struct HttpLimits {
    // The name lookup, the connection, the TLS handshake, the request written
    // and the answer's status line and headers, together.
    std::chrono::milliseconds whole{10000};
};

class HttpPost {
public:
    // `tls` makes the sessions that https needs; without it https fails.
    HttpPost(HttpRequest request, HttpLimits limits = {}, TlsSessionFactory tls = {});
    // A name lookup still running is waited for here, as in SmtpSend.
    ~HttpPost();
    HttpPost(const HttpPost&) = delete;
    HttpPost& operator=(const HttpPost&) = delete;

    // Sent for a 2xx answer; HttpStatus with the code for any other (1xx
    // interim answers skipped); UnusableAddress for a URL or a header that
    // cannot be sent; the network's faults by kind, as for e-mail. The
    // detail is the answer's reason phrase, or what went wrong. Run once.
    SendOutcome Run();

    // From any thread, before, during or after Run: Run returns promptly.
    void Abandon();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velt
