#pragma once
// The Security Support Provider Interface calls a TLS client session makes,
// shaped like secur32's function table but in portable types, so that the
// session's logic runs natively against a scripted provider. One table holds
// one credential and one security context.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace velt {

// SECURITY_STATUS values (winerror.h) the session tells apart; any other
// value passes through as a failure.
enum class SecStatus : int32_t {
    Ok = 0,
    ContinueNeeded = 0x00090312,
    ContextExpired = 0x00090317,
    Renegotiate = 0x00090321,
    IncompleteMessage = static_cast<int32_t>(0x80090318u),
};

// The client protocols of SECPKG_ATTR_CONNECTION_INFO (schannel.h).
namespace sspi_protocol {
constexpr uint32_t kSsl2 = 0x8, kSsl3 = 0x20, kTls10 = 0x80, kTls11 = 0x200, kTls12 = 0x800, kTls13 = 0x2000;
constexpr uint32_t kBelowTls12 = kSsl2 | kSsl3 | kTls10 | kTls11;
}  // namespace sspi_protocol

// SECPKG_ATTR_STREAM_SIZES: what a record adds around at most maximumMessage bytes.
struct StreamSizes {
    size_t header = 0, maximumMessage = 0, trailer = 0;
};

// One record as EncryptMessage sees it: header, data and trailer laid out
// one after another.
struct RecordParts {
    size_t header = 0, data = 0, trailer = 0;
};

class ISspiTable {
public:
    virtual ~ISspiTable() = default;

    // Why the system's TLS libraries are missing, or nothing; they load on
    // the first call, never with the program.
    virtual std::optional<std::string> LoadFailure() = 0;

    // AcquireCredentialsHandleW for an outbound client.
    virtual SecStatus AcquireCredentials() = 0;

    // InitializeSecurityContextW. `input` is the SECBUFFER_TOKEN, null on the
    // first call (there is no context yet); it may be changed in place. The
    // output token, if any, is appended to `token` whatever the status (an
    // alert on failure). `unprocessed` gets SECBUFFER_EXTRA's count: the last
    // bytes of `input` the call did not take.
    virtual SecStatus InitializeContext(std::string* input, std::string& token, size_t& unprocessed) = 0;

    // EncryptMessage over `record`, laid out as `parts`; `parts` gets the
    // sizes it wrote.
    virtual SecStatus EncryptMessage(std::span<char> record, RecordParts& parts) = 0;

    // DecryptMessage over `message`, in place. On SEC_E_OK and
    // SEC_I_RENEGOTIATE, SECBUFFER_DATA is appended to `plain` and
    // SECBUFFER_EXTRA's bytes go into `extra`.
    virtual SecStatus DecryptMessage(std::string& message, std::string& plain, std::string& extra) = 0;

    // QueryContextAttributesW: SECPKG_ATTR_CONNECTION_INFO's protocol.
    virtual SecStatus QueryProtocol(uint32_t& protocol) = 0;

    // QueryContextAttributesW: SECPKG_ATTR_STREAM_SIZES.
    virtual SecStatus QueryStreamSizes(StreamSizes& sizes) = 0;

    // The server's certificate (SECPKG_ATTR_REMOTE_CERT_CONTEXT) checked for
    // the server's name: nothing, or what is wrong, for the log.
    virtual std::optional<std::string> CertificateFault() = 0;

    // The code and the system's text for it, for the log.
    virtual std::string StatusText(SecStatus status) = 0;
};

}  // namespace velt
