#include "net/tls_stream.h"

#include "net/network_failure.h"
#include "sys/error_text.h"

namespace velt {

namespace asio = boost::asio;
using asio::ip::tcp;
using boost::system::error_code;

namespace {

std::string LimitText(std::chrono::milliseconds limit) {
    if (limit.count() % 1000 == 0) return std::to_string(limit.count() / 1000) + " s";
    return std::to_string(limit.count()) + " ms";
}

}  // namespace

TlsStream::TlsStream(std::string peer, std::chrono::milliseconds limit) : peer_(std::move(peer)), limit_(limit) {}

// A deadline that passed is a time-out, unless the work was abandoned.
TlsStream::Fault TlsStream::IoFault(const std::shared_ptr<IoOpResult>& op, bool completed,
                                    const char* timeoutText) const {
    if (!completed) {
        const SendFailure failure{net_.abandoned ? SendFailureKind::Other : SendFailureKind::TimedOut};
        return StreamFault{failure, timeoutText + LimitText(limit_)};
    }
    if (!op->error) return std::nullopt;
    if (op->error == asio::error::eof) return StreamFault{NetworkFailure(op->error), "The " + peer_ + " closed the connection"};
    return StreamFault{NetworkFailure(op->error),
                       "Connection to the " + peer_ + " lost: " + TrimSystemErrorText(op->error.message())};
}

TlsStream::Fault TlsStream::Connect(const std::string& host, uint16_t port, Clock::time_point deadline) {
    error_code error;
    if (!net_.Connect(host, port, deadline, error)) {
        const SendFailure failure{net_.abandoned ? SendFailureKind::Other : SendFailureKind::TimedOut};
        return StreamFault{failure, "No connection to the " + peer_ + " in time"};
    }
    if (!error) return std::nullopt;
    return StreamFault{NetworkFailure(error), "Cannot connect to the " + peer_ + ": " + TrimSystemErrorText(error.message())};
}

TlsStream::Fault TlsStream::TlsFault(std::string text, SendFailure failure) {
    broken_ = true;
    return StreamFault{failure, std::move(text), true};
}

TlsStream::Fault TlsStream::SessionFault() {
    return TlsFault(tls_->FailureReason(), {SendFailureKind::Other});
}

TlsStream::Fault TlsStream::Write(std::string bytes, Clock::time_point deadline) {
    if (!tls_) return SendRaw(std::move(bytes), deadline);
    std::string sealed;
    if (!tls_->Encrypt(bytes, sealed)) return SessionFault();
    return SendRaw(std::move(sealed), deadline);
}

TlsStream::Fault TlsStream::SendRaw(std::string bytes, Clock::time_point deadline) {
    output_ = std::move(bytes);
    auto op = std::make_shared<IoOpResult>();
    asio::async_write(net_.socket, asio::buffer(output_), DeadlineIo::Completion(op));
    const bool completed = net_.Await(op, deadline);
    return IoFault(op, completed, ("The " + peer_ + " took no data for ").c_str());
}

TlsStream::Fault TlsStream::ReadRaw(std::string& bytes, Clock::time_point deadline) {
    const auto op = net_.ReadSome(chunk_.data(), chunk_.size());
    const bool completed = net_.Await(op, deadline);
    if (auto fault = IoFault(op, completed, ("No reply from the " + peer_ + " within ").c_str())) return fault;
    bytes.assign(chunk_.data(), op->bytes);
    return std::nullopt;
}

TlsStream::Fault TlsStream::ReadSome(Clock::time_point deadline) {
    std::string bytes;
    if (auto fault = ReadRaw(bytes, deadline)) return fault;
    if (!tls_) {
        input_ += bytes;
        return std::nullopt;
    }
    records_.Append(bytes);
    return OpenBuffered(deadline);
}

// Every whole record received so far, onto the input; the session's
// answers to them go out at once.
TlsStream::Fault TlsStream::OpenBuffered(Clock::time_point deadline) {
    std::string record;
    for (;;) {
        switch (records_.Next(record)) {
            case TlsRecordReader::Result::NeedMore: return std::nullopt;
            case TlsRecordReader::Result::Invalid: return TlsFault("The " + peer_ + " sent no TLS record");
            case TlsRecordReader::Result::Record: break;
        }
        std::string answer;
        if (tls_->DecryptRecord(record, input_, answer) != TlsStatus::Done) return SessionFault();
        if (!answer.empty())
            if (auto fault = SendRaw(std::move(answer), deadline)) return fault;
    }
}

TlsStream::Fault TlsStream::Handshake(std::unique_ptr<ITlsSession> session, Clock::time_point deadline) {
    broken_ = true;  // until it is done, neither clear text nor records will do
    if (!session) return TlsFault("TLS is not available");
    std::string received;
    if (auto fault = Negotiate(*session, received, deadline)) return fault;
    // The server may have sent its first words with its last handshake message.
    records_.Append(received);
    tls_ = std::move(session);
    broken_ = false;
    return OpenBuffered(deadline);
}

// The handshake's messages back and forth until the session is done; a
// refused certificate is told apart from the other failures.
TlsStream::Fault TlsStream::Negotiate(ITlsSession& session, std::string& received, Clock::time_point deadline) {
    for (;;) {
        std::string toSend;
        const TlsStatus status = session.Handshake(received, toSend);
        if (!toSend.empty())
            if (auto fault = SendRaw(std::move(toSend), deadline))
                return TlsFault("TLS handshake failed: " + fault->text, fault->failure);
        if (status == TlsStatus::Failed) {
            const SendFailureKind kind =
                session.CertificateRefused() ? SendFailureKind::CertificateRefused : SendFailureKind::Other;
            return TlsFault(session.FailureReason(), {kind});
        }
        if (status == TlsStatus::Done) return std::nullopt;
        std::string bytes;
        if (auto fault = ReadRaw(bytes, deadline)) return TlsFault("TLS handshake failed: " + fault->text, fault->failure);
        received += bytes;
    }
}

void TlsStream::Close() {
    error_code ignored;
    net_.socket.shutdown(tcp::socket::shutdown_both, ignored);
    net_.socket.close(ignored);
}

}  // namespace velt
