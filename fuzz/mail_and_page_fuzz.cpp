// What arrives from the network or the settings and becomes text sent on:
// a request head's target and authorization, and the e-mail's addresses,
// subject and body. Whatever the bytes, the message stays one well-formed
// DATA text, the Base64 round trip holds and nothing crashes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "net/base64.h"
#include "net/mail_message.h"
#include "net/page_request_head.h"

using namespace velt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string target = in.ConsumeRandomLengthString(512);
    const std::string authorization = in.ConsumeRandomLengthString(512);
    const PageRequest request = PageRequestFromHead(target, authorization);
    fuzz::Check(request.path.size() <= target.size(), "the path comes from the target");
    SplitBasicAuthorization(authorization);

    const std::string bytes = in.ConsumeRandomLengthString(256);
    fuzz::Check(Base64Decode(Base64Encode(bytes)) == bytes, "Base64 round trip");
    Base64Decode(bytes);

    MailParts parts;
    parts.from = in.ConsumeRandomLengthString(128);
    parts.to = MailRecipients(in.ConsumeRandomLengthString(256));
    parts.subject = in.ConsumeRandomLengthString(256);
    parts.domain = MailDomain(in.ConsumeRandomLengthString(64));
    parts.body = in.ConsumeRandomLengthString(4096);
    MailboxAddress(parts.from);
    const std::string text = ComposeMailData(parts);
    fuzz::Check(text.size() >= 5 && text.compare(text.size() - 5, 5, "\r\n.\r\n") == 0, "ends with the end-of-data line");
    // The end-of-data line appears once: every other line starting with a dot is stuffed.
    fuzz::Check(text.find("\r\n.\r\n") == text.size() - 5, "no early end of data");
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; ++at)
        fuzz::Check(at > 0 && text[at - 1] == '\r', "every line ends in CR LF");
    return 0;
}
