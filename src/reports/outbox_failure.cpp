#include "reports/outbox_failure.h"

namespace velt {

namespace {

bool InHundreds(int code, int hundreds) { return code / 100 == hundreds && code > 0; }

// An SMTP 4xx says "not now"; 5xx says "never". Any other code, where a
// failure was reported, is an answer that will not change by asking again.
FailureClass SmtpClass(int code) { return InHundreds(code, 4) ? FailureClass::Transient : FailureClass::Permanent; }

// A server's own fault (5xx) or its asking to slow down (429) may pass; any
// other 4xx, or an answer a sender does not follow (a redirect), will not.
FailureClass HttpClass(int code) {
    if (code == 429 || InHundreds(code, 5)) return FailureClass::Transient;
    return FailureClass::Permanent;
}

}  // namespace

FailureClass ClassifyFailure(const SendFailure& failure) {
    switch (failure.kind) {
        case SendFailureKind::SmtpReply:
            return SmtpClass(failure.code);
        case SendFailureKind::HttpStatus:
            return HttpClass(failure.code);
        case SendFailureKind::CertificateRefused:
        case SendFailureKind::UnusableAddress:
            return FailureClass::Permanent;
        default:
            // The network's faults pass; an unknown local one is tried
            // again rather than lose an alert, for Outbox Hours at most.
            return FailureClass::Transient;
    }
}

std::string SendFailureText(const SendFailure& failure) {
    switch (failure.kind) {
        case SendFailureKind::NoRoute:
            return "no route to the server";
        case SendFailureKind::NameNotResolved:
            return "server name not resolved";
        case SendFailureKind::ConnectionRefused:
            return "connection refused";
        case SendFailureKind::ConnectionReset:
            return "connection reset";
        case SendFailureKind::TimedOut:
            return "timed out";
        case SendFailureKind::SmtpReply:
            return "SMTP " + std::to_string(failure.code);
        case SendFailureKind::HttpStatus:
            return "HTTP " + std::to_string(failure.code);
        case SendFailureKind::CertificateRefused:
            return "server certificate refused";
        case SendFailureKind::UnusableAddress:
            return "the address cannot be used";
        case SendFailureKind::Other:
            break;
    }
    return "send failed";
}

}  // namespace velt
