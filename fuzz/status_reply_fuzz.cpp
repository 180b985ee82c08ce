// The status reply parser and the number conversion under it, over any text,
// both as given and as the poll's filter leaves it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/command_exchange.h"
#include "core/ups_number.h"
#include "fuzz_check.h"
#include "status/ups_status.h"

namespace {

using velt::fuzz::Check;

void ParseAndCheck(const std::string& reply, bool detected, char separator) {
    const auto status = velt::ParseStatusReply(reply, velt::LocalDateTime{}, detected, separator);
    if (!status) return;
    Check(detected && !reply.empty() && reply[0] == '(', "a status only from a reply beginning with '('");
    Check(status->FieldsCut >= 0 && status->FieldsCut <= 8, "at most eight fields");
    const int failed = status->FailedField;
    Check(failed == 0 || failed == 1 || failed == 3 || failed == 6, "failed field 0, 1, 3 or 6");
    for (const velt::ReplyFieldName& name : velt::kReplyFields)
        if (const auto& v = ((*status).*name.field).value) Check(std::isfinite(*v), "finite readings");
    if (status->BatteryPack.volts) Check(std::isfinite(*status->BatteryPack.volts), "a finite pack voltage");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const char separator = in.ConsumeBool() ? ',' : '.';
    const bool detected = in.ConsumeBool();
    const std::string text = in.ConsumeRemainingBytesAsString();
    if (const auto v = velt::UPSStrToFloat(text, separator)) Check(std::isfinite(*v), "finite numbers");
    ParseAndCheck(text, detected, separator);
    ParseAndCheck(velt::FilterReply(text), detected, separator);
    return 0;
}
