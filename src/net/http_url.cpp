#include "net/http_url.h"

#include <algorithm>

#include "core/blank_trim.h"
#include "net/port_number.h"

namespace velt {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Printable ASCII: a line break could end the request line early.
bool Visible(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7F) return false;
    }
    return true;
}

bool NameChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' ||
           c == '_';
}

bool AddressChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
}

// "host", "host:port", "[v6]" or "[v6]:port" into `url`.
bool ParseAuthority(std::string_view authority, HttpUrl& url) {
    std::string_view host = authority, port;
    if (authority.starts_with('[')) {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) return false;
        host = authority.substr(1, close - 1);
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty() && (!after.starts_with(':') || after.size() == 1)) return false;
        port = after.empty() ? after : after.substr(1);
        if (host.find(':') == std::string_view::npos) return false;
        for (const char c : host)
            if (!AddressChar(c)) return false;
    } else {
        const size_t colon = authority.find(':');
        if (colon != std::string_view::npos) {
            host = authority.substr(0, colon);
            port = authority.substr(colon + 1);
            if (port.empty()) return false;
        }
        for (const char c : host)
            if (!NameChar(c)) return false;
    }
    if (host.empty()) return false;
    const uint16_t schemePort = url.https ? 443 : 80;
    const auto number = port.empty() ? std::optional<uint16_t>(schemePort) : PortNumber(port);
    if (!number) return false;
    url.host = std::string(host);
    url.port = *number;
    url.hostHeader = authority.starts_with('[') ? "[" + url.host + "]" : url.host;
    if (*number != schemePort) url.hostHeader += ":" + std::to_string(*number);
    return true;
}

}  // namespace

std::optional<HttpUrl> ParseHttpUrl(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || !Visible(text)) return std::nullopt;
    const size_t schemeEnd = text.find("://");
    if (schemeEnd == std::string_view::npos) return std::nullopt;
    HttpUrl url;
    const std::string scheme = Lower(text.substr(0, schemeEnd));
    if (scheme != "http" && scheme != "https") return std::nullopt;
    url.https = scheme == "https";
    std::string_view rest = text.substr(schemeEnd + 3);
    const size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    if (!ParseAuthority(rest.substr(0, authorityEnd), url)) return std::nullopt;
    rest = rest.substr(authorityEnd);
    rest = rest.substr(0, std::min(rest.find('#'), rest.size()));
    url.target = rest.starts_with('/') ? std::string(rest) : "/" + std::string(rest);
    return url;
}

}  // namespace velt
