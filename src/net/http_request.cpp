#include "net/http_request.h"

#include <array>

namespace velt {

namespace {

bool TokenChar(char c) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != b[i]) return false;
    }
    return true;
}

// Written by ComposeHttpPost; a second one would make the framing ambiguous.
constexpr std::array<std::string_view, 6> kOwnHeaders = {"host",           "user-agent",        "content-type",
                                                         "content-length", "transfer-encoding", "connection"};

}  // namespace

bool UsableHeaderName(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name)
        if (!TokenChar(c)) return false;
    for (const auto own : kOwnHeaders)
        if (SameName(name, own)) return false;
    return true;
}

bool UsableHeaderValue(std::string_view value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) return false;
    }
    return true;
}

std::string ComposeHttpPost(const HttpUrl& url, const HttpRequest& request) {
    std::string text = "POST " + url.target + " HTTP/1.1\r\n";
    text += "Host: " + url.hostHeader + "\r\n";
    text += "User-Agent: Veltrano\r\n";
    if (!request.contentType.empty()) text += "Content-Type: " + request.contentType + "\r\n";
    text += "Content-Length: " + std::to_string(request.body.size()) + "\r\n";
    text += "Connection: close\r\n";
    for (const auto& header : request.headers) text += header.name + ": " + header.value + "\r\n";
    text += "\r\n";
    return text + request.body;
}

}  // namespace velt
