#pragma once
// Why a send failed, and whether trying again may help: a failure that may
// pass is tried again on the retry schedule; a refusal is given up at once.
#include <string>

namespace velt {

enum class SendFailureKind {
    NoRoute,
    NameNotResolved,
    ConnectionRefused,
    ConnectionReset,
    TimedOut,
    SmtpReply,           // with the server's reply code
    HttpStatus,          // with the response's status
    CertificateRefused,  // the server's certificate did not pass
    UnusableAddress,     // the URL or a header line as set cannot be sent
    Other,               // a local fault of no known kind
};

struct SendFailure {
    SendFailureKind kind = SendFailureKind::Other;
    int code = 0;  // the SMTP reply code or HTTP status; 0 for the others
};

enum class FailureClass { Transient, Permanent };

FailureClass ClassifyFailure(const SendFailure& failure);

// "SMTP 451", "HTTP 503", "connection refused", ... for the log and the row.
std::string SendFailureText(const SendFailure& failure);

}  // namespace velt
