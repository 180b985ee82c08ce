#include "net/smtp_client.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "core/blank_trim.h"
#include "core/control_chars.h"
#include "net/base64.h"
#include "net/mail_message.h"
#include "net/port_number.h"
#include "net/tls_stream.h"

namespace velt {

using Clock = std::chrono::steady_clock;

namespace {

// A server that floods ends the send instead of the memory.
constexpr size_t kReplyLineMax = 4096;
constexpr size_t kReplyMax = 65536;
// The status bar shows one line.
constexpr size_t kShownTextMax = 255;

struct Reply {
    int code = 0;
    std::vector<std::string> lines;  // the text after the code of each line
};

std::string Shown(std::string text);

SmtpOutcome WithText(std::string text, SendFailure failure = {}) {
    return {SmtpOutcome::Kind::FailedWithText, std::move(text), {}, failure};
}
SmtpOutcome WithoutText(SendFailure failure = {}) { return {SmtpOutcome::Kind::FailedWithoutText, {}, {}, failure}; }
SmtpOutcome TlsFailed(std::string reason, SendFailure failure = {}) {
    return {SmtpOutcome::Kind::FailedWithoutText, {}, Shown(std::move(reason)), failure};
}

// A decimal number 1 to 65535, blanks around it allowed.
std::optional<uint16_t> ParsePort(std::string_view text) { return PortNumber(TrimBlanks(text)); }

// Server text on one line of the status bar.
std::string Shown(std::string text) {
    for (char& c : text)
        if (IsControl(c)) c = ' ';
    if (text.size() > kShownTextMax) text.resize(kShownTextMax);
    return text;
}

// "550 5.1.1 <x@y>: Recipient address rejected": the code and the text of
// every line of the reply.
std::string ReplyText(const Reply& reply) {
    std::string text = std::to_string(reply.code);
    for (const auto& line : reply.lines)
        if (!line.empty()) text += " " + line;
    return Shown(std::move(text));
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// An EHLO reply line "STARTTLS", the keyword alone or with parameters.
bool ListsKeyword(const Reply& ehlo, std::string_view keyword) {
    for (const auto& line : ehlo.lines) {
        const std::string upper = Upper(line);
        if (upper.rfind(keyword, 0) == 0 && (upper.size() == keyword.size() || upper[keyword.size()] == ' '))
            return true;
    }
    return false;
}

// The EHLO reply lists the mechanisms on lines "AUTH LOGIN PLAIN" or, in
// the older form, "AUTH=LOGIN".
bool ListsLogin(const Reply& ehlo) {
    for (const auto& line : ehlo.lines) {
        const std::string upper = Upper(line);
        if (upper.rfind("AUTH ", 0) != 0 && upper.rfind("AUTH=", 0) != 0) continue;
        size_t at = 5;
        while (at < upper.size()) {
            const size_t end = std::min(upper.find(' ', at), upper.size());
            if (upper.compare(at, end - at, "LOGIN") == 0) return true;
            at = end + 1;
        }
    }
    return false;
}

}  // namespace

struct SmtpSend::Impl {
    SmtpConnection connection;
    MailContent content;
    SmtpLimits limits;
    TlsSessionFactory tlsFactory;
    TlsStream stream;
    std::optional<SmtpOutcome> failure;  // the first failure of the dialogue

    Impl(SmtpConnection c, MailContent m, SmtpLimits l, TlsSessionFactory t)
        : connection(std::move(c)), content(std::move(m)), limits(l), tlsFactory(std::move(t)),
          stream("SMTP server", l.reply) {}

    bool Fail(SmtpOutcome outcome) {
        if (!failure) failure = stream.Net().abandoned ? WithoutText() : std::move(outcome);
        return false;
    }

    // A TLS fault is told only in the log; any other shows on the status bar.
    bool Fail(const StreamFault& fault) {
        return Fail(fault.tls ? TlsFailed(fault.text, fault.failure) : WithText(Shown(fault.text), fault.failure));
    }

    // The name lookup and the connection share one limit.
    bool Connect() {
        const auto port = ParsePort(connection.port);
        const std::string host(TrimBlanks(connection.host));
        if (!port || host.empty()) return Fail(WithoutText());
        if (const auto fault = stream.Connect(host, *port, Clock::now() + limits.connect))
            return Fail(WithoutText(fault->failure));
        return true;
    }

    bool Write(std::string bytes, Clock::time_point deadline) {
        if (const auto fault = stream.Write(std::move(bytes), deadline)) return Fail(*fault);
        return true;
    }

    // Lines already received are taken without waiting: a reply of many
    // lines often arrives in one piece.
    bool ReadLine(std::string& line, Clock::time_point deadline) {
        std::string& input = stream.Input();
        size_t end;
        while ((end = input.find('\n')) == std::string::npos) {
            if (input.size() >= kReplyLineMax) return Fail(WithText("The SMTP server's reply is too long"));
            if (const auto fault = stream.ReadSome(deadline)) return Fail(*fault);
        }
        if (end >= kReplyLineMax) return Fail(WithText("The SMTP server's reply is too long"));
        line.assign(input, 0, end);
        input.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }

    // A whole reply: "250-text" lines continue it, "250 text" or "250" ends it.
    bool ReadReply(Reply& reply, Clock::time_point deadline) {
        reply = {};
        size_t total = 0;
        for (;;) {
            std::string line;
            if (!ReadLine(line, deadline)) return false;
            total += line.size() + 2;
            if (total > kReplyMax) return Fail(WithText("The SMTP server's reply is too long"));
            const bool coded = line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                               std::isdigit(static_cast<unsigned char>(line[1])) &&
                               std::isdigit(static_cast<unsigned char>(line[2])) &&
                               (line.size() == 3 || line[3] == ' ' || line[3] == '-');
            if (!coded) return Fail(WithText(Shown("Unreadable reply from the SMTP server: " + line.substr(0, 64))));
            reply.code = std::stoi(line.substr(0, 3));
            reply.lines.push_back(line.size() > 4 ? line.substr(4) : std::string());
            if (line.size() == 3 || line[3] == ' ') return true;
        }
    }

    bool Expect(const Reply& reply, std::initializer_list<int> codes) {
        for (const int code : codes)
            if (reply.code == code) return true;
        return Fail(WithText(ReplyText(reply), {SendFailureKind::SmtpReply, reply.code}));
    }

    // Writes `bytes` and reads the reply to them.
    bool Exchange(std::string bytes, Reply& reply) {
        return Write(std::move(bytes), Clock::now() + limits.reply) && ReadReply(reply, Clock::now() + limits.reply);
    }

    bool Step(std::string command, std::initializer_list<int> codes) {
        Reply reply;
        return Exchange(std::move(command) + "\r\n", reply) && Expect(reply, codes);
    }

    // EHLO, or HELO when EHLO is refused: `ehlo` keeps the extensions listed.
    bool Hello(Reply& ehlo) {
        const std::string domain = MailDomain(content.heloName);
        if (!Exchange("EHLO " + domain + "\r\n", ehlo)) return false;
        if (ehlo.code == 250) return true;
        ehlo = {};
        return Step("HELO " + domain, {250});
    }

    bool Greet(Reply& ehlo) {
        Reply reply;
        return ReadReply(reply, Clock::now() + limits.reply) && Expect(reply, {220}) && Hello(ehlo);
    }

    // The whole handshake within one reply limit; the certificate is checked
    // by the session before it reports Done.
    bool Handshake() {
        const auto deadline = Clock::now() + limits.reply;
        if (const auto fault = stream.Handshake(tlsFactory(std::string(TrimBlanks(connection.host))), deadline))
            return Fail(*fault);
        return true;
    }

    // After the 220, anything already received in the clear is dropped: a
    // man in the middle could have put it there to be read as the answer to
    // the encrypted EHLO.
    bool StartTls(Reply& ehlo) {
        if (!ListsKeyword(ehlo, "STARTTLS")) return Fail(TlsFailed("The SMTP server offers no STARTTLS"));
        Reply reply;
        if (!Exchange("STARTTLS\r\n", reply)) return false;
        if (reply.code != 220)
            return Fail(TlsFailed("The SMTP server refused STARTTLS: " + ReplyText(reply),
                                  {SendFailureKind::SmtpReply, reply.code}));
        stream.Input().clear();
        return Handshake() && Hello(ehlo);
    }

    bool AuthLogin() {
        return Step("AUTH LOGIN", {334}) && Step(Base64Encode(connection.login), {334}) &&
               Step(Base64Encode(connection.password), {235});
    }

    bool SendMessage() {
        const auto recipients = MailRecipients(connection.mail);
        if (!Step("MAIL FROM:<" + MailboxAddress(connection.from) + ">", {250})) return false;
        for (const auto& recipient : recipients)
            if (!Step("RCPT TO:<" + MailboxAddress(recipient) + ">", {250, 251})) return false;
        if (!Step("DATA", {354})) return false;
        const MailParts parts{connection.from, recipients, content.subject, content.body,
                              MailDomain(content.heloName), content.date, content.messageId};
        Reply reply;
        return Exchange(ComposeMailData(parts), reply) && Expect(reply, {250});
    }

    void Converse() {
        if (connection.security == SmtpSecurity::ImplicitTls && !Handshake()) return;
        Reply ehlo;
        if (!Greet(ehlo)) return;
        if (connection.security == SmtpSecurity::StartTls && !StartTls(ehlo)) return;
        if (connection.auth && ListsLogin(ehlo) && !AuthLogin()) return;
        SendMessage();
    }

    // Polite and bounded: a cut-short operation is let finish first, so no
    // two reads share the input; the reply to QUIT is not required. A read
    // cut short inside a TLS session lost bytes of a record: no QUIT then.
    void Quit() {
        DeadlineIo& net = stream.Net();
        if (stream.Broken() || (stream.Encrypted() && net.cutShort)) return;
        const auto deadline = Clock::now() + limits.quit;
        if (net.cutShort && !net.Await(net.cutShort, deadline)) return;
        stream.Input().clear();
        Reply ignored;
        if (Write("QUIT\r\n", deadline)) ReadReply(ignored, deadline);
    }

    SmtpOutcome Run() {
        if (connection.security != SmtpSecurity::None && !tlsFactory) return TlsFailed("This build has no TLS");
        if (!Connect()) return *failure;
        Converse();
        const SmtpOutcome outcome = failure.value_or(SmtpOutcome{SmtpOutcome::Kind::Success, {}, {}, {}});
        if (!stream.Net().abandoned) Quit();
        stream.Close();
        return outcome;
    }
};

SmtpSend::SmtpSend(SmtpConnection connection, MailContent content, SmtpLimits limits, TlsSessionFactory tls)
    : impl_(std::make_unique<Impl>(std::move(connection), std::move(content), limits, std::move(tls))) {}

SmtpSend::~SmtpSend() = default;

SmtpOutcome SmtpSend::Run() { return impl_->Run(); }

void SmtpSend::Abandon() { impl_->stream.Net().Abandon(); }

}  // namespace velt
