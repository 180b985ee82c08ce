#pragma once
// One e-mail over one SMTP connection (RFC 5321), with AUTH LOGIN (RFC 4954)
// when wanted and offered, in the clear, after STARTTLS (RFC 3207) or over
// implicit TLS (RFC 8314). The send runs on the calling thread with its own
// I/O context; every wait has a limit, and Abandon ends it from any thread.
#include <chrono>
#include <memory>
#include <string>

#include "net/tls_session.h"
#include "reports/outbox_failure.h"

namespace velt {

// The values of the "SMTP Security" setting.
enum class SmtpSecurity { None = 0, StartTls = 1, ImplicitTls = 2 };

// The connection settings as the user entered them.
struct SmtpConnection {
    std::string host, port, login, password;
    std::string from;  // a display name with the address in angle brackets is allowed
    std::string mail;  // recipients, separated by commas
    bool auth = true;  // AUTH LOGIN when the server lists LOGIN
    SmtpSecurity security = SmtpSecurity::None;
};

struct MailContent {
    std::string subject, body;  // bytes of the ANSI code page; body lines end in CR LF
    std::string heloName;       // the computer's host name
    std::chrono::system_clock::time_point date;
    // The outbox's id of the message, the Message-ID's local part; empty for
    // one made here.
    std::string messageId = {};
};

struct SmtpLimits {
    std::chrono::milliseconds connect{1000};  // name lookup and connection together
    std::chrono::milliseconds reply{30000};   // each reply, and each command or message written
    std::chrono::milliseconds quit{1000};     // the closing QUIT and its reply
};

struct SmtpOutcome {
    enum class Kind { Success, FailedWithText, FailedWithoutText };
    Kind kind = Kind::FailedWithoutText;
    // For FailedWithText: one line for the status bar, the server's reply
    // ("550 5.1.1 <x@y>: Recipient address rejected") or what went wrong.
    std::string text;
    // For a TLS failure (FailedWithoutText): the reason, for the log.
    std::string tlsFailure;
    // For any failure: its kind, for the outbox (a refused reply with its code).
    SendFailure failure = {};
};

class SmtpSend {
public:
    // `tls` makes the sessions that StartTls and ImplicitTls need; without
    // it they fail.
    SmtpSend(SmtpConnection connection, MailContent content, SmtpLimits limits = {}, TlsSessionFactory tls = {});
    // A name lookup still running when the send ends is waited for here: the
    // system resolver cannot be stopped, only outlived (its own time-outs bound it).
    ~SmtpSend();
    SmtpSend(const SmtpSend&) = delete;
    SmtpSend& operator=(const SmtpSend&) = delete;

    // Connects, sends the message, QUITs and closes. A host that cannot be
    // resolved, a port that is not 1 to 65535, a refused or timed-out
    // connection, a TLS failure (no STARTTLS, handshake, certificate) or an
    // abandoned send give FailedWithoutText. Run once.
    SmtpOutcome Run();

    // From any thread, before, during or after Run: Run returns promptly,
    // without QUIT.
    void Abandon();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace velt
