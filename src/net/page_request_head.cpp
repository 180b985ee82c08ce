#include "net/page_request_head.h"

#include "net/base64.h"

namespace velt {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The scheme name is case-insensitive; a blank separates it from the rest.
bool StartsWithBasicScheme(std::string_view value) {
    constexpr std::string_view kScheme = "basic";
    if (value.size() <= kScheme.size() || !IsBlank(value[kScheme.size()])) return false;
    for (size_t i = 0; i < kScheme.size(); ++i)
        if ((value[i] | 0x20) != kScheme[i]) return false;
    return true;
}

}  // namespace

BasicCredentials SplitBasicAuthorization(std::string_view value) {
    value = Trimmed(value);
    if (!StartsWithBasicScheme(value)) return {};
    const std::optional<std::string> decoded = Base64Decode(Trimmed(value.substr(5)));
    if (!decoded) return {};
    const size_t colon = decoded->find(':');
    if (colon == std::string::npos) return {};
    return {decoded->substr(0, colon), decoded->substr(colon + 1)};
}

PageRequest PageRequestFromHead(std::string_view target, std::string_view authorization) {
    BasicCredentials credentials = SplitBasicAuthorization(authorization);
    const size_t mark = target.find('?');
    const std::string_view query = mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
    return {std::string(target.substr(0, mark)), std::move(credentials.user), std::move(credentials.password),
            std::string(query)};
}

}  // namespace velt
