// A test tool run inside the Wine prefix of tests/e2e/test_https_post.py
// (whose test CA smtp_tls_probe.exe makes trusted there).
//
//   https_post_probe post URL BODY_BYTES
//       posts BODY_BYTES of text through the program's HTTP client and
//       Schannel and prints "sent 0|1", "failure ...", "class ...",
//       "detail ...", "ms N"
//
// The body is "0123456789abcdef" repeated and cut to BODY_BYTES; the test
// makes the same to compare.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/http_post.h"
#include "net/win32/schannel_session.h"

namespace {

int Post(const char* url, const char* bytes) {
    std::string body;
    while (body.size() < std::strtoul(bytes, nullptr, 10)) body += "0123456789abcdef";
    body.resize(std::strtoul(bytes, nullptr, 10));
    const velt::HttpRequest request{url, {{"X-Probe", "1"}}, "text/plain; charset=utf-8", body};
    const auto start = std::chrono::steady_clock::now();
    const velt::SendOutcome outcome = velt::HttpPost(request, {}, velt::win::SchannelSessionFactory()).Run();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    const bool permanent = velt::ClassifyFailure(outcome.failure) == velt::FailureClass::Permanent;
    std::printf("sent %d\nfailure %s\nclass %s\ndetail %s\nms %lld\n", outcome.sent ? 1 : 0,
                velt::SendFailureText(outcome.failure).c_str(), permanent ? "Permanent" : "Transient",
                outcome.detail.c_str(), static_cast<long long>(took.count()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "post" && argc == 4) return Post(argv[2], argv[3]);
    std::fprintf(stderr, "usage: https_post_probe post URL BODY_BYTES\n");
    return 2;
}
