#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS
#include <windows.h>
#include <winternl.h>
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>

#include "net/win32/schannel_session.h"

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

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
        return "Certificate name mismatch: it is not for the SMTP host";
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

class SchannelSession final : public ITlsSession {
public:
    explicit SchannelSession(std::wstring serverName) : serverName_(std::move(serverName)) {}

    TlsStatus Handshake(std::string& received, std::string& toSend) override {
        if (!started_) {
            started_ = true;
            if (!Libraries().Loaded()) return Failed("TLS is not available: " + LastErrorText());
            const SECURITY_STATUS status = credentials_.Acquire();
            if (status != SEC_E_OK) return Failed("TLS is not available: " + StatusText(status));
        }
        // Several handshake messages may have arrived at once: each call takes
        // what it can and leaves the rest as SECBUFFER_EXTRA.
        for (;;) {
            const size_t before = received.size();
            const TlsStatus status = Step(received, toSend);
            if (status != TlsStatus::NeedMore || received.empty() || received.size() == before) return status;
        }
    }

    bool Encrypt(std::string_view plain, std::string& records) override {
        while (!plain.empty()) {
            const size_t size = std::min<size_t>(plain.size(), sizes_.cbMaximumMessage);
            const size_t at = records.size();
            records.resize(at + sizes_.cbHeader + size + sizes_.cbTrailer);
            char* record = records.data() + at;
            std::copy_n(plain.data(), size, record + sizes_.cbHeader);
            SecBuffer buffers[4] = {
                {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record},
                {static_cast<unsigned long>(size), SECBUFFER_DATA, record + sizes_.cbHeader},
                {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record + sizes_.cbHeader + size},
                {0, SECBUFFER_EMPTY, nullptr},
            };
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            const SECURITY_STATUS status = Libraries().sspi->EncryptMessage(context_.get(), 0, &desc, 0);
            if (status != SEC_E_OK) {
                Failed("TLS encryption failed: " + StatusText(status));
                return false;
            }
            records.resize(at + buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
            plain.remove_prefix(size);
        }
        return true;
    }

    TlsStatus DecryptRecord(std::string_view record, std::string& plain) override {
        std::string bytes(record);
        SecBuffer buffers[4] = {
            {static_cast<unsigned long>(bytes.size()), SECBUFFER_DATA, bytes.data()},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
            {0, SECBUFFER_EMPTY, nullptr},
        };
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        const SECURITY_STATUS status = Libraries().sspi->DecryptMessage(context_.get(), &desc, 0, nullptr);
        // A TLS 1.2 server's request to renegotiate is declined by ignoring
        // it, which the protocol allows; the session goes on as it was.
        if (status == SEC_I_RENEGOTIATE) return TlsStatus::Done;
        if (status == SEC_I_CONTEXT_EXPIRED) return Failed("The SMTP server ended the TLS session");
        if (status != SEC_E_OK) return Failed("TLS record unreadable: " + StatusText(status));
        for (const SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA)
                plain.append(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
            if (buffer.BufferType == SECBUFFER_EXTRA) return Failed("TLS record framing lost");
        }
        return TlsStatus::Done;
    }

    std::string FailureReason() const override { return failure_; }

private:
    TlsStatus Failed(std::string reason) {
        failure_ = std::move(reason);
        return TlsStatus::Failed;
    }

    // One call of InitializeSecurityContextW. Its input buffers point into
    // `received`: what it did not take (SECBUFFER_EXTRA) is the tail.
    TlsStatus Step(std::string& received, std::string& toSend) {
        SecBuffer in[2] = {{static_cast<unsigned long>(received.size()), SECBUFFER_TOKEN, received.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
        SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, out};
        unsigned long attributes = 0;
        TimeStamp expiry;
        const bool first = context_.get() == nullptr;
        const SECURITY_STATUS status = Libraries().sspi->InitializeSecurityContextW(
            credentials_.get(), context_.get(), const_cast<wchar_t*>(serverName_.c_str()), kContextRequest, 0, 0,
            first ? nullptr : &inDesc, 0, context_.out(), &outDesc, &attributes, &expiry);
        if (first && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) context_.Held();
        const UniqueHandle<ContextBufferTraits> token(out[0].pvBuffer);
        if (token && out[0].cbBuffer) toSend.append(static_cast<const char*>(out[0].pvBuffer), out[0].cbBuffer);
        if (status == SEC_E_INCOMPLETE_MESSAGE) return TlsStatus::NeedMore;
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED)
            return Failed("TLS handshake failed: " + StatusText(status));
        if (!first) received.erase(0, received.size() - (in[1].BufferType == SECBUFFER_EXTRA ? in[1].cbBuffer : 0));
        if (status == SEC_I_CONTINUE_NEEDED) return TlsStatus::NeedMore;
        return Established();
    }

    // The handshake is done: the protocol floor, the certificate, the sizes.
    TlsStatus Established() {
        SecPkgContext_ConnectionInfo info{};
        if (Libraries().sspi->QueryContextAttributesW(context_.get(), SECPKG_ATTR_CONNECTION_INFO, &info) == SEC_E_OK &&
            (info.dwProtocol & kBelowTls12))
            return Failed("TLS handshake failed: the server offers nothing newer than TLS 1.1");
        PCCERT_CONTEXT rawCertificate = nullptr;
        const SECURITY_STATUS status =
            Libraries().sspi->QueryContextAttributesW(context_.get(), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &rawCertificate);
        if (status != SEC_E_OK || !rawCertificate) return Failed("Certificate not trusted: the server sent none");
        const UniqueHandle<CertContextTraits> certificate(rawCertificate);
        if (auto fault = CertificateFault(certificate.get(), serverName_)) return Failed(std::move(*fault));
        const SECURITY_STATUS sized =
            Libraries().sspi->QueryContextAttributesW(context_.get(), SECPKG_ATTR_STREAM_SIZES, &sizes_);
        if (sized != SEC_E_OK) return Failed("TLS handshake failed: " + StatusText(sized));
        return TlsStatus::Done;
    }

    std::wstring serverName_;
    Credentials credentials_;
    SecurityContext context_;
    SecPkgContext_StreamSizes sizes_{};
    bool started_ = false;
    std::string failure_;
};

}  // namespace

TlsSessionFactory SchannelSessionFactory() {
    return [](const std::string& serverName) -> std::unique_ptr<ITlsSession> {
        return std::make_unique<SchannelSession>(WidenAnsi(serverName));
    };
}

}  // namespace velt::win
