#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS
#include <windows.h>
#include <winternl.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>

#include "net/win32/schannel_session.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <utility>

#include "net/sspi_session.h"
#include "sys/win32/ansi_wide.h"
#include "sys/win32/system_error_text.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

namespace {

constexpr DWORD kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                  ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR |
                                  ISC_REQ_MANUAL_CRED_VALIDATION;
constexpr DWORD kBelowTls12 = SP_PROT_SSL2_CLIENT | SP_PROT_SSL3_CLIENT | SP_PROT_TLS1_0_CLIENT | SP_PROT_TLS1_1_CLIENT;

// secur32 and crypt32 load with the first TLS session, not with the program:
// secur32 brings netapi32 along, which a program that never sends mail over
// TLS (or that ends at once on an unsupported system) must not load.
struct TlsLibraries {
    PSecurityFunctionTableW sspi = nullptr;
    decltype(&::CertFreeCertificateContext) CertFreeCertificateContext = nullptr;
    decltype(&::CertFreeCertificateChain) CertFreeCertificateChain = nullptr;
    decltype(&::CertGetCertificateChain) CertGetCertificateChain = nullptr;
    decltype(&::CertVerifyCertificateChainPolicy) CertVerifyCertificateChainPolicy = nullptr;

    bool Loaded() const {
        return sspi && CertFreeCertificateContext && CertFreeCertificateChain && CertGetCertificateChain &&
               CertVerifyCertificateChainPolicy;
    }
};

template <typename T>
void Bind(HMODULE module, const char* name, T& entry) {
    entry = module ? reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// Loaded once, kept until the process ends (a session may be running on a
// thread the program lets go at exit).
const TlsLibraries& Libraries() {
    static const TlsLibraries libraries = [] {
        TlsLibraries l;
        if (HMODULE secur32 = ::LoadLibraryW(L"secur32.dll")) {
            INIT_SECURITY_INTERFACE_W init = nullptr;
            Bind(secur32, "InitSecurityInterfaceW", init);
            if (init) l.sspi = init();
        }
        const HMODULE crypt32 = ::LoadLibraryW(L"crypt32.dll");
        Bind(crypt32, "CertFreeCertificateContext", l.CertFreeCertificateContext);
        Bind(crypt32, "CertFreeCertificateChain", l.CertFreeCertificateChain);
        Bind(crypt32, "CertGetCertificateChain", l.CertGetCertificateChain);
        Bind(crypt32, "CertVerifyCertificateChainPolicy", l.CertVerifyCertificateChainPolicy);
        return l;
    }();
    return libraries;
}

std::string StatusText(SECURITY_STATUS status) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    return std::string(code) + " " + SystemErrorText(static_cast<unsigned long>(status));
}

struct CertContextTraits {
    using Type = PCCERT_CONTEXT;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { Libraries().CertFreeCertificateContext(h); }
};
struct CertChainTraits {
    using Type = PCCERT_CHAIN_CONTEXT;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { Libraries().CertFreeCertificateChain(h); }
};

// Memory that Schannel allocated for an output token.
struct ContextBufferTraits {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { Libraries().sspi->FreeContextBuffer(h); }
};

// Schannel's handles are structures, not pointers: owners of their own.
class Credentials {
public:
    Credentials() = default;
    ~Credentials() {
        if (held_) Libraries().sspi->FreeCredentialsHandle(&handle_);
    }
    Credentials(const Credentials&) = delete;
    Credentials& operator=(const Credentials&) = delete;

    // TLS 1.2 and later through SCH_CREDENTIALS; systems older than Windows
    // 10 1809 know only SCHANNEL_CRED, limited to TLS 1.2 there.
    SECURITY_STATUS Acquire() {
        const DWORD flags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
        TLS_PARAMETERS parameters{};
        parameters.grbitDisabledProtocols = kBelowTls12;
        SCH_CREDENTIALS current{};
        current.dwVersion = SCH_CREDENTIALS_VERSION;
        current.dwFlags = flags;
        current.cTlsParameters = 1;
        current.pTlsParameters = &parameters;
        SECURITY_STATUS status = AcquireFor(&current);
        if (status == SEC_E_OK) return status;
        SCHANNEL_CRED older{};
        older.dwVersion = SCHANNEL_CRED_VERSION;
        older.dwFlags = flags;
        older.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
        return AcquireFor(&older);
    }
    CredHandle* get() { return &handle_; }

private:
    SECURITY_STATUS AcquireFor(void* data) {
        TimeStamp expiry;
        const SECURITY_STATUS status = Libraries().sspi->AcquireCredentialsHandleW(
            nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr, data, nullptr, nullptr,
            &handle_, &expiry);
        held_ = status == SEC_E_OK;
        return status;
    }
    CredHandle handle_{};
    bool held_ = false;
};

class SecurityContext {
public:
    SecurityContext() = default;
    ~SecurityContext() {
        if (held_) Libraries().sspi->DeleteSecurityContext(&handle_);
    }
    SecurityContext(const SecurityContext&) = delete;
    SecurityContext& operator=(const SecurityContext&) = delete;

    CtxtHandle* get() { return held_ ? &handle_ : nullptr; }
    CtxtHandle* out() { return &handle_; }
    void Held() { held_ = true; }

private:
    CtxtHandle handle_{};
    bool held_ = false;
};

// What the chain's trust status or the SSL policy found wrong, or nothing.
// The policy alone is not enough: Wine's passes a chain that stops short of
// a root. Revocation is not checked (no bounded wait for a CRL download),
// so an unknown revocation state is no error.
std::optional<std::string> CertificateFault(PCCERT_CONTEXT certificate, const std::wstring& serverName) {
    static char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    char* usages[] = {serverAuth};
    CERT_CHAIN_PARA para{};
    para.cbSize = sizeof para;
    para.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    para.RequestedUsage.Usage.cUsageIdentifier = 1;
    para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT rawChain = nullptr;
    if (!Libraries().CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &para, 0,
                                             nullptr, &rawChain))
        return "Certificate not trusted: no chain (" + LastErrorText() + ")";
    const UniqueHandle<CertChainTraits> chain(rawChain);

    SSL_EXTRA_CERT_CHAIN_POLICY_PARA extra{};
    extra.cbSize = sizeof extra;
    extra.dwAuthType = AUTHTYPE_SERVER;
    extra.pwszServerName = const_cast<wchar_t*>(serverName.c_str());
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &extra;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!Libraries().CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status))
        return "Certificate not trusted: the policy check failed (" + LastErrorText() + ")";
    if (status.dwError == static_cast<DWORD>(CERT_E_CN_NO_MATCH))
        return "Certificate name mismatch: it is not for the server's host name";
    if (status.dwError != 0)
        return "Certificate not trusted: " + StatusText(static_cast<SECURITY_STATUS>(status.dwError));
    const DWORD ignored = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
    if (const DWORD errors = chain.get()->TrustStatus.dwErrorStatus & ~ignored) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(errors));
        return std::string("Certificate not trusted: chain status ") + code;
    }
    return std::nullopt;
}

// The portable values, checked against the system's.
static_assert(sspi_protocol::kBelowTls12 == kBelowTls12);
static_assert(sspi_protocol::kTls12 == SP_PROT_TLS1_2_CLIENT && sspi_protocol::kTls13 == SP_PROT_TLS1_3_CLIENT);
static_assert(static_cast<SECURITY_STATUS>(SecStatus::ContinueNeeded) == SEC_I_CONTINUE_NEEDED &&
              static_cast<SECURITY_STATUS>(SecStatus::ContextExpired) == SEC_I_CONTEXT_EXPIRED &&
              static_cast<SECURITY_STATUS>(SecStatus::Renegotiate) == SEC_I_RENEGOTIATE &&
              static_cast<SECURITY_STATUS>(SecStatus::IncompleteMessage) == SEC_E_INCOMPLETE_MESSAGE);

// Where SECBUFFER_EXTRA's bytes are: pvBuffer when it points into the
// message, else the message's last cbBuffer bytes ("Extra Buffers Returned
// by Schannel" promises no more than the count).
std::string_view ExtraBytes(const SecBuffer& extra, std::string_view message) {
    const size_t size = std::min<size_t>(extra.cbBuffer, message.size());
    const auto* begin = static_cast<const char*>(extra.pvBuffer);
    const std::less_equal<const char*> notAfter;
    if (begin && notAfter(message.data(), begin) && notAfter(begin + size, message.data() + message.size()))
        return {begin, size};
    return message.substr(message.size() - size);
}

// The table of SSPI calls on secur32 and crypt32, for one session.
class SchannelTable final : public ISspiTable {
public:
    explicit SchannelTable(std::wstring serverName) : serverName_(std::move(serverName)) {}

    std::optional<std::string> LoadFailure() override {
        if (Libraries().Loaded()) return std::nullopt;
        return LastErrorText();
    }

    SecStatus AcquireCredentials() override { return static_cast<SecStatus>(credentials_.Acquire()); }

    SecStatus InitializeContext(std::string* input, std::string& token, size_t& unprocessed) override {
        SecBuffer in[2] = {{input ? static_cast<unsigned long>(input->size()) : 0, SECBUFFER_TOKEN,
                            input ? input->data() : nullptr},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
        SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
        unsigned long attributes = 0;
        TimeStamp expiry;
        const bool first = context_.get() == nullptr;
        const SECURITY_STATUS status = Libraries().sspi->InitializeSecurityContextW(
            credentials_.get(), context_.get(), const_cast<wchar_t*>(serverName_.c_str()), kContextRequest, 0, 0,
            input ? &inDesc : nullptr, 0, context_.out(), &outDesc, &attributes, &expiry);
        if (first && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) context_.Held();
        const UniqueHandle<ContextBufferTraits> owned(out[0].pvBuffer);
        if (owned && out[0].cbBuffer) token.append(static_cast<const char*>(out[0].pvBuffer), out[0].cbBuffer);
        unprocessed = in[1].BufferType == SECBUFFER_EXTRA ? in[1].cbBuffer : 0;
        return static_cast<SecStatus>(status);
    }

    SecStatus EncryptMessage(std::span<char> record, RecordParts& parts) override {
        char* at = record.data();
        SecBuffer buffers[4] = {
            {static_cast<unsigned long>(parts.header), SECBUFFER_STREAM_HEADER, at},
            {static_cast<unsigned long>(parts.data), SECBUFFER_DATA, at + parts.header},
            {static_cast<unsigned long>(parts.trailer), SECBUFFER_STREAM_TRAILER, at + parts.header + parts.data},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = Libraries().sspi->EncryptMessage(context_.get(), 0, &desc, 0);
        parts = {buffers[0].cbBuffer, buffers[1].cbBuffer, buffers[2].cbBuffer};
        return static_cast<SecStatus>(status);
    }

    SecStatus DecryptMessage(std::string& message, std::string& plain, std::string& extra) override {
        SecBuffer buffers[4] = {
            {static_cast<unsigned long>(message.size()), SECBUFFER_DATA, message.data()},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = Libraries().sspi->DecryptMessage(context_.get(), &desc, 0, nullptr);
        // On failure the buffers may still describe the ciphertext.
        if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) return static_cast<SecStatus>(status);
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA)
                plain.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
            if (buffer.BufferType == SECBUFFER_EXTRA) extra.assign(ExtraBytes(buffer, message));
        }
        return static_cast<SecStatus>(status);
    }

    SecStatus QueryProtocol(uint32_t& protocol) override {
        SecPkgContext_ConnectionInfo info{};
        const SECURITY_STATUS status =
            Libraries().sspi->QueryContextAttributesW(context_.get(), SECPKG_ATTR_CONNECTION_INFO, &info);
        protocol = info.dwProtocol;
        return static_cast<SecStatus>(status);
    }

    SecStatus QueryStreamSizes(StreamSizes& sizes) override {
        SecPkgContext_StreamSizes stream{};
        const SECURITY_STATUS status =
            Libraries().sspi->QueryContextAttributesW(context_.get(), SECPKG_ATTR_STREAM_SIZES, &stream);
        sizes = {stream.cbHeader, stream.cbMaximumMessage, stream.cbTrailer};
        return static_cast<SecStatus>(status);
    }

    std::optional<std::string> CertificateFault() override {
        PCCERT_CONTEXT rawCertificate = nullptr;
        const SECURITY_STATUS status =
            Libraries().sspi->QueryContextAttributesW(context_.get(), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &rawCertificate);
        if (status != SEC_E_OK || !rawCertificate) return "Certificate not trusted: the server sent none";
        const UniqueHandle<CertContextTraits> certificate(rawCertificate);
        return win::CertificateFault(certificate.get(), serverName_);
    }

    std::string StatusText(SecStatus status) override { return win::StatusText(static_cast<SECURITY_STATUS>(status)); }

private:
    std::wstring serverName_;
    Credentials credentials_;
    SecurityContext context_;
};

}  // namespace

TlsSessionFactory SchannelSessionFactory() {
    return [](const std::string& serverName) {
        return SspiSession(std::make_unique<SchannelTable>(WidenAnsi(serverName)));
    };
}

}  // namespace velt::win
