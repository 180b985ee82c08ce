// What arrives from the network or the settings and becomes text sent on:
// a request head's target and authorization, and the e-mail's addresses,
// subject and body. Whatever the bytes, the message stays one well-formed
// DATA text, the Base64 round trip holds and nothing crashes. The JSON,
// metrics and NUT texts made from a reply, an identification and a UPS name
// stay valid UTF-8 with no raw control characters and one series a line.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "net/base64.h"
#include "net/mail_message.h"
#include "net/page_request_head.h"
#include "reports/nut_variables.h"
#include "reports/status_json.h"
#include "reports/status_metrics.h"

using namespace velt;

namespace {

// Well-formed UTF-8 with no byte below 0x20 and no DEL: what a JSON text, a
// metrics line and a NUT value may hold.
bool CleanUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size() || lead < 0x20 || lead == 0x7F) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

void CheckFeeds(FuzzedDataProvider& in) {
    ShownStatusParts parts;
    const std::string reply = in.ConsumeRandomLengthString(128);
    const char separator = in.ConsumeBool() ? ',' : '.';
    if (const auto status = ParseStatusReply(reply, {}, true, separator, in.ConsumeFloatingPoint<double>())) {
        parts.reading = *status;
        parts.replied = true;
    }
    parts.chargePercent = in.ConsumeFloatingPoint<double>();
    parts.upsFound = parts.monitoring = parts.linkResponding = in.ConsumeBool();
    ShownStatus shown = ComposeShownStatus(std::move(parts));
    if (in.ConsumeBool())
        shown.device.info = TUPSInformation{in.ConsumeRandomLengthString(32), in.ConsumeRandomLengthString(32),
                                            in.ConsumeRandomLengthString(32)};
    const std::string name = in.ConsumeRandomLengthString(32);

    const std::string json = StatusJson(shown, name);
    fuzz::Check(json.back() == '\n' && CleanUtf8(json.substr(0, json.size() - 1)), "JSON: clean UTF-8 on one line");
    const std::string metrics = StatusMetrics(shown, name);
    for (size_t at = 0, end; at < metrics.size(); at = end + 1) {
        end = metrics.find('\n', at);
        fuzz::Check(end != std::string::npos, "metrics: every line ends");
        const std::string line = metrics.substr(at, end - at);
        fuzz::Check(line.rfind("# ", 0) == 0 || line.rfind("veltrano_", 0) == 0, "metrics: a comment or a series");
        fuzz::Check(CleanUtf8(line), "metrics: clean UTF-8");
    }
    for (const NutVariable& var : NutVariables(shown, {name, "1"}, in.ConsumeBool()))
        fuzz::Check(!var.value.empty() && CleanUtf8(var.value), "NUT: a clean value");
}

}  // namespace

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
    CheckFeeds(in);
    return 0;
}
