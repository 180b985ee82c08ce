#include "net/push_requests.h"

#include <algorithm>

#include "core/blank_trim.h"
#include "net/base64.h"
#include "reports/ansi_utf8.h"

namespace velt {

namespace {

bool PlainAscii(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) return false;
    }
    // Plain text that looks like an encoded word would be decoded.
    return text.find("=?") == std::string_view::npos;
}

// Whole UTF-8 characters of at most 45 bytes a word: 60 characters of
// Base64, 72 with the word's frame, inside RFC 2047's 75.
std::string EncodedWords(const std::string& utf8) {
    constexpr size_t kWordBytes = 45;
    std::string out;
    size_t at = 0;
    while (at < utf8.size()) {
        size_t end = std::min(at + kWordBytes, utf8.size());
        while (end < utf8.size() && end > at && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
        if (end == at) end = std::min(at + kWordBytes, utf8.size());  // not UTF-8 after all: cut anywhere
        if (!out.empty()) out += ' ';
        out += "=?UTF-8?B?" + Base64Encode(std::string_view(utf8).substr(at, end - at)) + "?=";
        at = end;
    }
    return out;
}

const char* Tags(AlertKind kind) {
    switch (kind) {
        case AlertKind::Warning: return "warning";
        case AlertKind::Report: return "page_facing_up";
        case AlertKind::Test: return "white_check_mark";
        case AlertKind::Information: break;
    }
    return "information_source";
}

}  // namespace

std::string HeaderText(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    if (PlainAscii(line)) return line;
    return EncodedWords(Utf8FromAnsi(line));
}

std::optional<HttpRequest> WebhookRequest(std::string url, std::string_view headerLine, std::string jsonBody) {
    HttpRequest request{std::move(url), {}, "application/json; charset=utf-8", std::move(jsonBody)};
    const std::string_view line = TrimBlanks(headerLine);
    if (line.empty()) return request;
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    HttpHeader header{std::string(TrimBlanks(line.substr(0, colon))), std::string(TrimBlanks(line.substr(colon + 1)))};
    if (!UsableHeaderName(header.name) || !UsableHeaderValue(header.value)) return std::nullopt;
    request.headers.push_back(std::move(header));
    return request;
}

std::optional<HttpRequest> NtfyRequest(std::string url, std::string_view token, std::string_view subject,
                                       std::string_view body, AlertKind kind) {
    HttpRequest request{std::move(url), {}, "text/plain; charset=utf-8", Utf8FromAnsi(body)};
    request.headers = {{"Title", HeaderText(subject)},
                       {"Priority", kind == AlertKind::Warning ? "high" : "default"},
                       {"Tags", Tags(kind)}};
    token = TrimBlanks(token);
    if (token.empty()) return request;
    if (!UsableHeaderValue(token)) return std::nullopt;
    request.headers.push_back({"Authorization", "Bearer " + std::string(token)});
    return request;
}

}  // namespace velt
