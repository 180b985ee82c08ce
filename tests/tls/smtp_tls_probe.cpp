// A test tool run inside the Wine prefix of tests/e2e/test_smtp_tls.py.
//
//   smtp_tls_probe trust FILE.der
//       adds the certificate to the current user's ROOT store of this prefix
//   smtp_tls_probe send HOST PORT SECURITY AUTH BODY_BYTES REPLY_MS
//       sends one mail through the program's SMTP client and Schannel and
//       prints "outcome KIND", "text ...", "tls ...", "ms N"
//
// The body is lines "NNNNNN " + 71 letters and digits, CR LF, until it holds
// BODY_BYTES; the test makes the same to compare.
#include <windows.h>
#include <wincrypt.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "net/smtp_client.h"
#include "net/win32/schannel_session.h"

namespace {

int Trust(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::string der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    HCERTSTORE root = ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"ROOT");
    if (!root || der.empty()) return 2;
    const BOOL added = ::CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING,
                                                          reinterpret_cast<const BYTE*>(der.data()),
                                                          static_cast<DWORD>(der.size()),
                                                          CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    ::CertCloseStore(root, 0);
    return added ? 0 : 1;
}

std::string Body(size_t bytes) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-=+ABCDE";
    std::string body;
    for (int line = 0; body.size() < bytes; ++line) {
        char number[16];
        std::snprintf(number, sizeof number, "%06d ", line);
        body += number;
        body += kLetters;
        body += "\r\n";
    }
    return body;
}

int Send(char** args) {
    velt::SmtpConnection connection{args[0], args[1], "tls-user", "tls pass", "Probe <probe@example.com>",
                                    "admin@example.com", std::string(args[3]) == "1",
                                    static_cast<velt::SmtpSecurity>(std::atoi(args[2]))};
    const velt::MailContent content{"TLS probe", Body(std::strtoul(args[4], nullptr, 10)), "PROBE",
                                    std::chrono::system_clock::now()};
    velt::SmtpLimits limits;
    limits.reply = std::chrono::milliseconds(std::atoi(args[5]));
    const auto start = std::chrono::steady_clock::now();
    const velt::SmtpOutcome outcome =
        velt::SmtpSend(connection, content, limits, velt::win::SchannelSessionFactory()).Run();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    static const char* const kKinds[] = {"Success", "FailedWithText", "FailedWithoutText"};
    std::printf("outcome %s\ntext %s\ntls %s\nms %lld\n", kKinds[static_cast<int>(outcome.kind)],
                outcome.text.c_str(), outcome.tlsFailure.c_str(), static_cast<long long>(took.count()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "trust" && argc == 3) return Trust(argv[2]);
    if (mode == "send" && argc == 8) return Send(argv + 2);
    std::fprintf(stderr, "usage: smtp_tls_probe trust FILE.der | send HOST PORT SECURITY AUTH BODY_BYTES REPLY_MS\n");
    return 2;
}
