#pragma once
// The address of an HTTP POST as the user entered it:
// "http://host[:port]/path?query" or https, an IPv6 address in brackets.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velt {

struct HttpUrl {
    bool https = false;
    std::string host;        // to connect to and to name in TLS; an IPv6 address without brackets
    uint16_t port = 80;
    std::string hostHeader;  // the Host header's value: "[::1]:8080", the port only when not the scheme's
    std::string target;      // "/path?query"; "/" at least; the fragment dropped
};

// Nothing when the URL cannot be used: a scheme other than http or https,
// no host, user information, a port that is not 1 to 65535, or a control
// character, blank or non-ASCII byte anywhere (blanks around it aside).
std::optional<HttpUrl> ParseHttpUrl(std::string_view url);

}  // namespace velt
