// The poll's reply filter over any bytes a port may deliver.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/command_exchange.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using velt::fuzz::Check;
    const std::string text = velt::FilterReply(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(text.size() <= velt::kMaxReplyChars, "at most 255 characters");
    for (const char c : text) Check(c > 0 && c != '\r', "only 0x01..0x7F and no CR");
    return 0;
}
