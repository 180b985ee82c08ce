#include "net/sspi_session.h"

#include <algorithm>
#include <utility>

namespace velt {

namespace {

class SspiTlsSession final : public ITlsSession {
public:
    explicit SspiTlsSession(std::unique_ptr<ISspiTable> table) : table_(std::move(table)) {}

    TlsStatus Handshake(std::string& received, std::string& toSend) override {
        if (!started_) {
            started_ = true;
            if (auto missing = table_->LoadFailure()) return Failed("TLS is not available: " + *missing);
            const SecStatus status = table_->AcquireCredentials();
            if (status != SecStatus::Ok) return Failed("TLS is not available: " + table_->StatusText(status));
        }
        return Negotiate(received, toSend);
    }

    bool Encrypt(std::string_view plain, std::string& records) override {
        if (sizes_.maximumMessage == 0) {
            Failed("TLS encryption failed: the handshake is not done");
            return false;
        }
        while (!plain.empty()) {
            const size_t size = std::min(plain.size(), sizes_.maximumMessage);
            if (!Seal(plain.substr(0, size), records)) return false;
            plain.remove_prefix(size);
        }
        return true;
    }

    // While a message that came after the handshake is being taken, the
    // records go to InitializeSecurityContextW, not to DecryptMessage.
    TlsStatus DecryptRecord(std::string_view record, std::string& plain, std::string& toSend) override {
        if (!negotiating_) return Decrypt(std::string(record), plain, toSend);
        pending_.append(record);
        return Renegotiate(plain, toSend);
    }

    std::string FailureReason() const override { return failure_; }
    bool CertificateRefused() const override { return certificateRefused_; }

private:
    TlsStatus Failed(std::string reason, bool certificate = false) {
        failure_ = std::move(reason);
        certificateRefused_ = certificate;
        return TlsStatus::Failed;
    }

    // DecryptMessage until `message` is all taken: Schannel leaves what
    // follows a record as SECBUFFER_EXTRA. On SEC_I_RENEGOTIATE that extra
    // data is a handshake message for InitializeSecurityContextW.
    TlsStatus Decrypt(std::string message, std::string& plain, std::string& toSend) {
        while (!message.empty()) {
            std::string extra;
            const SecStatus status = table_->DecryptMessage(message, plain, extra);
            if (status == SecStatus::Renegotiate) {
                negotiating_ = true;
                pending_ = std::move(extra);
                return Renegotiate(plain, toSend);
            }
            if (status == SecStatus::ContextExpired) return Failed("The server ended the TLS session");
            if (status != SecStatus::Ok) return Failed("TLS record unreadable: " + table_->StatusText(status));
            if (extra.size() >= message.size()) return Failed("TLS record framing lost");
            message = std::move(extra);
        }
        return TlsStatus::Done;
    }

    // Microsoft's answer to SEC_I_RENEGOTIATE: the extra data, empty or not,
    // goes to InitializeSecurityContextW as its token, whose output goes to
    // the server, and the session goes on as a handshake until that returns
    // SEC_E_OK; what it leaves is records again. TLS 1.3 sends its
    // NewSessionTicket and KeyUpdate this way; a TLS 1.2 server its request
    // to renegotiate, which is followed rather than declined.
    TlsStatus Renegotiate(std::string& plain, std::string& toSend) {
        const size_t before = pending_.size();
        const TlsStatus status = Negotiate(pending_, toSend);
        if (status == TlsStatus::Failed) return status;
        if (status == TlsStatus::NeedMore) return TlsStatus::Done;  // the rest comes in the next records
        // Done having taken nothing would hand the same bytes round again.
        if (before != 0 && pending_.size() == before) return Failed("TLS record framing lost");
        negotiating_ = false;
        return Decrypt(std::exchange(pending_, {}), plain, toSend);
    }

    // Several handshake messages may arrive at once: each call of
    // InitializeSecurityContextW takes what it can and leaves the rest.
    TlsStatus Negotiate(std::string& received, std::string& toSend) {
        for (;;) {
            const size_t before = received.size();
            const TlsStatus status = Step(received, toSend);
            if (status != TlsStatus::NeedMore || received.empty() || received.size() == before) return status;
        }
    }

    // One call of InitializeSecurityContextW; what it did not take
    // (SECBUFFER_EXTRA) stays at the front of `received`.
    TlsStatus Step(std::string& received, std::string& toSend) {
        const bool first = !contextMade_;
        size_t unprocessed = 0;
        const SecStatus status = table_->InitializeContext(first ? nullptr : &received, toSend, unprocessed);
        if (status == SecStatus::IncompleteMessage) return TlsStatus::NeedMore;
        if (status != SecStatus::Ok && status != SecStatus::ContinueNeeded)
            return Failed("TLS handshake failed: " + table_->StatusText(status));
        contextMade_ = true;
        if (!first) received.erase(0, received.size() - std::min(unprocessed, received.size()));
        if (status == SecStatus::ContinueNeeded) {
            checked_ = false;  // a full handshake, which may bring another certificate
            return TlsStatus::NeedMore;
        }
        return checked_ ? TlsStatus::Done : Established();
    }

    // The handshake is done: the protocol floor, the certificate, the sizes.
    TlsStatus Established() {
        uint32_t protocol = 0;
        if (table_->QueryProtocol(protocol) == SecStatus::Ok && (protocol & sspi_protocol::kBelowTls12))
            return Failed("TLS handshake failed: the server offers nothing newer than TLS 1.1");
        if (auto fault = table_->CertificateFault()) return Failed(std::move(*fault), true);
        const SecStatus sized = table_->QueryStreamSizes(sizes_);
        if (sized != SecStatus::Ok) return Failed("TLS handshake failed: " + table_->StatusText(sized));
        checked_ = true;
        return TlsStatus::Done;
    }

    // One record of at most the maximum message into `records`; the header
    // and trailer are sized for the worst case and cut to what was written.
    bool Seal(std::string_view plain, std::string& records) {
        const size_t at = records.size();
        RecordParts parts{sizes_.header, plain.size(), sizes_.trailer};
        records.resize(at + parts.header + parts.data + parts.trailer);
        std::copy(plain.begin(), plain.end(), records.begin() + static_cast<std::ptrdiff_t>(at + parts.header));
        const SecStatus status = table_->EncryptMessage(std::span<char>(records).subspan(at), parts);
        if (status != SecStatus::Ok) {
            Failed("TLS encryption failed: " + table_->StatusText(status));
            return false;
        }
        records.resize(at + parts.header + parts.data + parts.trailer);
        return true;
    }

    std::unique_ptr<ISspiTable> table_;
    StreamSizes sizes_;
    bool started_ = false;
    bool contextMade_ = false;
    bool checked_ = false;      // the floor and the certificate passed for the last full handshake
    bool negotiating_ = false;  // a message after the handshake is not yet all taken
    std::string pending_;       // its bytes so far, for InitializeSecurityContextW
    std::string failure_;
    bool certificateRefused_ = false;  // the last failure was the certificate check
};

}  // namespace

std::unique_ptr<ITlsSession> SspiSession(std::unique_ptr<ISspiTable> table) {
    return std::make_unique<SspiTlsSession>(std::move(table));
}

}  // namespace velt
