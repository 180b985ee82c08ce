#pragma once
// The seam between the network clients (SMTP, HTTP) and a TLS implementation:
// the client moves the bytes, the session turns them into a handshake and records. The Windows
// program injects Schannel; the native build has none.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace velt {

enum class TlsStatus { Done, NeedMore, Failed };

class ITlsSession {
public:
    virtual ~ITlsSession() = default;

    // One step of the handshake. Takes from the front of `received` what it
    // used, leaving any bytes that follow the handshake; appends to `toSend`
    // what must go to the server (on failure too: an alert). Called first
    // with nothing received. Done only once the server's certificate passed.
    virtual TlsStatus Handshake(std::string& received, std::string& toSend) = 0;

    // Appends the records that carry `plain`.
    virtual bool Encrypt(std::string_view plain, std::string& records) = 0;

    // One whole record as TlsRecordReader gives it; appends its plaintext,
    // if any, and to `toSend` what must go to the server in answer (a
    // message after the handshake may need one). Done once the record is
    // taken, even with no plaintext yet; Failed when it cannot be read or
    // ends the session.
    virtual TlsStatus DecryptRecord(std::string_view record, std::string& plain, std::string& toSend) = 0;

    // Why the last call failed, for the log.
    virtual std::string FailureReason() const = 0;

    // Whether the last failure was the server's certificate failing the
    // check (untrusted, expired, another name): a refusal that asking again
    // will not change, unlike a handshake cut short.
    virtual bool CertificateRefused() const = 0;
};

// A session for the server of that name (sent as SNI and checked against the
// certificate); null when none can be made.
using TlsSessionFactory = std::function<std::unique_ptr<ITlsSession>(const std::string& serverName)>;

}  // namespace velt
