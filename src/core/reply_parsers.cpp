#include "core/reply_parsers.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "core/ups_number.h"

namespace velt {

namespace {

constexpr size_t kMinInfoReply = 38;
constexpr size_t kMinRatingReply = 21;

std::string TrimTrailingControls(std::string s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
    return s;
}

std::string Cut(const std::string& s, size_t position1, size_t count) {
    if (position1 - 1 >= s.size()) return {};
    return TrimTrailingControls(s.substr(position1 - 1, count));
}

bool BeginsWith(const std::string& s, std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

std::optional<TUPSInformation> ParseInfoReply(const std::string& reply) {
    if (reply.size() < kMinInfoReply || BeginsWith(reply, "I") || reply.find('\r') == std::string::npos ||
        reply[0] != '#')
        return std::nullopt;
    return TUPSInformation{Cut(reply, 3, 15), Cut(reply, 19, 10), Cut(reply, 30, 10)};
}

std::optional<TRatedValues> ParseRatingReply(const std::string& raw, char decimalSeparator) {
    if (raw.size() < kMinRatingReply || BeginsWith(raw, "F") || raw.find('\r') == std::string::npos ||
        raw[0] != '#')
        return std::nullopt;
    // Over HID the reply carries the NUL report ids of later reports; they are
    // not part of any number.
    std::string reply;
    std::copy_if(raw.begin(), raw.end(), std::back_inserter(reply), [](char c) { return c != '\0'; });
    double values[4] = {};
    size_t pos = 1;  // 0-based: the character after "#"
    for (double& value : values) {
        // A carriage return where a field should start means the reply ended early.
        if (pos >= reply.size() || reply[pos] == '\r') return std::nullopt;
        std::string field(1, reply[pos]);
        while (pos + 1 < reply.size() && reply[pos + 1] != ' ' && reply[pos + 1] != '\r')
            field.push_back(reply[++pos]);
        pos += 2;
        const auto v = UPSStrToFloat(field, decimalSeparator);
        if (!v) return std::nullopt;
        value = *v;
    }
    return TRatedValues{values[0], values[1], values[2], values[3]};
}

}  // namespace velt
