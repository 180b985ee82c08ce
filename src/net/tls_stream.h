#pragma once
// A client connection's bytes over DeadlineIo, in the clear or, once
// Handshake is done, through a TLS session: records sealed on the way out
// and opened on the way in, the session's own answers sent as they come.
// Shared by the SMTP and HTTP clients; every call is bounded by its deadline.
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/deadline_io.h"
#include "net/tls_records.h"
#include "net/tls_session.h"
#include "reports/outbox_failure.h"

namespace velt {

// Why the connection can carry nothing more.
struct StreamFault {
    SendFailure failure;  // its kind, for the outbox
    std::string text;     // for the log, naming the server
    bool tls = false;     // the TLS layer failed: the handshake, a record, the certificate
};

class TlsStream {
public:
    using Clock = std::chrono::steady_clock;
    using Fault = std::optional<StreamFault>;

    // `peer` names the server in the texts ("SMTP server"); `limit` is the
    // wait that the texts of time-outs name.
    TlsStream(std::string peer, std::chrono::milliseconds limit);

    // The name lookup and the connection, within the deadline.
    Fault Connect(const std::string& host, uint16_t port, Clock::time_point deadline);

    // Writes `bytes`, sealed into records once TLS is up.
    Fault Write(std::string bytes, Clock::time_point deadline);

    // Appends what arrives next to Input(), opened once TLS is up. Several
    // calls may be needed before a record gives plaintext.
    Fault ReadSome(Clock::time_point deadline);

    // The whole handshake within the deadline; the session has checked the
    // certificate before it reports Done. Anything received with the last
    // handshake message is opened onto Input(). A null session fails.
    Fault Handshake(std::unique_ptr<ITlsSession> session, Clock::time_point deadline);

    // The plaintext received and not yet taken.
    std::string& Input() { return input_; }
    bool Encrypted() const { return tls_ != nullptr; }
    // Nothing more can be said, in the clear or encrypted.
    bool Broken() const { return broken_; }
    DeadlineIo& Net() { return net_; }
    // Shuts the socket down and closes it.
    void Close();

private:
    Fault IoFault(const std::shared_ptr<IoOpResult>& op, bool completed, const char* timeoutText) const;
    Fault SendRaw(std::string bytes, Clock::time_point deadline);
    Fault ReadRaw(std::string& bytes, Clock::time_point deadline);
    Fault OpenBuffered(Clock::time_point deadline);
    Fault TlsFault(std::string text, SendFailure failure = {});
    Fault SessionFault();
    Fault Negotiate(ITlsSession& session, std::string& received, Clock::time_point deadline);

    std::string peer_;
    std::chrono::milliseconds limit_;
    // The buffers outlive the I/O context: an operation cut short may still
    // hold them until the context is gone.
    std::string input_;   // received plaintext not yet taken
    std::string output_;  // the bytes being written
    std::array<char, 16384> chunk_{};  // the bytes being read
    DeadlineIo net_;
    std::unique_ptr<ITlsSession> tls_;  // once the handshake is done
    TlsRecordReader records_;
    bool broken_ = false;
};

}  // namespace velt
