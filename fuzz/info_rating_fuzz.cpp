// The "I" and "F" reply parsers over any raw bytes, as serial or HID give them.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/reply_parsers.h"
#include "fuzz_check.h"

namespace {

using velt::fuzz::Check;

bool Trimmed(const std::string& field, size_t width) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; };
    return field.size() <= width && (field.empty() || (!blank(field.front()) && !blank(field.back())));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char separator = data[0] & 1 ? ',' : '.';
    const std::string raw(reinterpret_cast<const char*>(data + 1), size - 1);
    if (const auto info = velt::ParseInfoReply(raw)) {
        Check(Trimmed(info->Mfr, 15) && Trimmed(info->Model, 10) && Trimmed(info->Ver, 10),
              "identification fields within their width and trimmed");
        Check((info->Mfr + info->Model + info->Ver).find('\0') == std::string::npos, "no report ids in the fields");
    }
    if (const auto rated = velt::ParseRatingReply(raw, separator)) {
        for (const double v : {rated->Voltage, rated->Current, rated->BatteryVoltage, rated->Frequency})
            Check(std::isfinite(v), "finite ratings");
    }
    return 0;
}
