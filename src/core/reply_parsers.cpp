#include "core/reply_parsers.h"

#include <algorithm>
#include <string_view>

#include "core/control_chars.h"
#include "core/ups_number.h"

namespace velt {

namespace {

constexpr size_t kMinInfoReply = 38;
constexpr size_t kMinRatingReply = 21;

std::string WithoutReportIds(const std::string& raw) {
    std::string reply = raw;
    reply.erase(std::remove(reply.begin(), reply.end(), '\0'), reply.end());
    return reply;
}

// The reply's text after the "#" and before its CR, if any.
std::string_view Body(const std::string& reply) { return std::string_view(reply).substr(1, reply.find('\r') - 1); }

bool IsBlankOrControl(char c) { return c == ' ' || IsControl(c); }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlankOrControl(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankOrControl(s.back())) s.remove_suffix(1);
    return s;
}

// `count` characters from the 1-based `position` of the whole reply, "#" included.
std::string Field(std::string_view body, size_t position, size_t count) {
    const size_t start = position - 2;
    return start < body.size() ? std::string(Trim(body.substr(start, count))) : std::string();
}

}  // namespace

std::optional<TUPSInformation> ParseInfoReply(const std::string& raw) {
    const std::string reply = WithoutReportIds(raw);
    if (reply.size() < kMinInfoReply || reply[0] != '#' || reply.find('\r') == std::string::npos)
        return std::nullopt;
    const std::string_view body = Body(reply);
    return TUPSInformation{Field(body, 2, 15), Field(body, 18, 10), Field(body, 29, 10)};
}

std::optional<RatedValues> ParseRatingReply(const std::string& raw, char decimalSeparator) {
    const std::string reply = WithoutReportIds(raw);
    if (reply.size() < kMinRatingReply || reply[0] != '#') return std::nullopt;
    const std::string_view body = Body(reply);
    double values[4] = {};
    size_t pos = 0;
    for (double& value : values) {
        // The reply ended before this field.
        if (pos >= body.size()) return std::nullopt;
        // A field's first character is its own even when blank, so a blank
        // field fails the conversion instead of merging into the next.
        const size_t end = std::min(body.find(' ', pos + 1), body.size());
        const auto v = UPSStrToFloat(body.substr(pos, end - pos), decimalSeparator);
        if (!v) return std::nullopt;
        value = *v;
        pos = end + 1;
    }
    return RatedValues{values[0], values[1], values[2], values[3]};
}

}  // namespace velt
