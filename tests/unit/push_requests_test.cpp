// The push channels' requests and the URLs they go to, by table.
#include "net/push_requests.h"

#include <gtest/gtest.h>

#include "net/base64.h"
#include "net/http_url.h"

namespace velt {
namespace {

TEST(HttpUrl, TakesWhatCanBeSentAndRefusesTheRest) {
    const struct {
        const char* url;
        bool usable;
        bool https = false;
        const char* host = "";
        uint16_t port = 0;
        const char* hostHeader = "";
        const char* target = "";
    } cases[] = {
        {"http://ntfy.sh/ups-alerts", true, false, "ntfy.sh", 80, "ntfy.sh", "/ups-alerts"},
        {" HTTPS://Hooks.Example.com ", true, true, "Hooks.Example.com", 443, "Hooks.Example.com", "/"},
        {"https://h.example:8443/a/b?c=d&e#top", true, true, "h.example", 8443, "h.example:8443", "/a/b?c=d&e"},
        {"http://h:80?q", true, false, "h", 80, "h", "/?q"},
        {"http://[::1]:8080/x", true, false, "::1", 8080, "[::1]:8080", "/x"},
        {"https://[fe80::1]/", true, true, "fe80::1", 443, "[fe80::1]", "/"},
        {"http://192.0.2.7:65535/", true, false, "192.0.2.7", 65535, "192.0.2.7:65535", "/"},
        {"", false},
        {"ntfy.sh/topic", false},                  // no scheme
        {"ftp://h/", false},
        {"http:/h/", false},
        {"http:///path", false},                   // no host
        {"http://:80/", false},
        {"http://user:pw@h/", false},
        {"http://h:0/", false},
        {"http://h:65536/", false},
        {"http://h:/", false},
        {"http://h:8a/", false},
        {"http://[::1/", false},
        {"http://[::1]x/", false},
        {"http://[h.example]/", false},
        {"http://h/a b", false},
        {"http://h/\r\nHost: evil", false},
        {"http://h\n/", false},
        {"http://h/caf\xE9", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const auto url = ParseHttpUrl(c.url);
        ASSERT_EQ(url.has_value(), c.usable);
        if (!url) continue;
        EXPECT_EQ(url->https, c.https);
        EXPECT_EQ(url->host, c.host);
        EXPECT_EQ(url->port, c.port);
        EXPECT_EQ(url->hostHeader, c.hostHeader);
        EXPECT_EQ(url->target, c.target);
    }
}

TEST(WebhookRequest, TheHeaderLineIsOneHeaderOrNone) {
    const struct {
        const char* line;
        bool usable;
        const char* name = "";
        const char* value = "";
    } cases[] = {
        {"Authorization: Bearer abc.def", true, "Authorization", "Bearer abc.def"},
        {"  X-Api-Key :  k:e:y  ", true, "X-Api-Key", "k:e:y"},
        {"X-Empty:", true, "X-Empty", ""},
        {"X-Tab: a\tb", true, "X-Tab", "a\tb"},
        {"", true},
        {"   ", true},
        {"Bearer abc", false},                      // no name
        {": value", false},
        {"X Key: v", false},                        // a blank inside the name
        {"X(Key): v", false},
        {"X-Key: a\r\nX-Injected: 1", false},
        {"X-Key: a\nb", false},
        {"X-Key: a\x7F", false},
        {"Content-Length: 0", false},               // the request's own framing
        {"host: elsewhere", false},
        {"Transfer-Encoding: chunked", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto request = WebhookRequest("http://h/hook", c.line, "{\"a\":1}");
        ASSERT_EQ(request.has_value(), c.usable);
        if (!request) continue;
        EXPECT_EQ(request->url, "http://h/hook");
        EXPECT_EQ(request->contentType, "application/json; charset=utf-8");
        EXPECT_EQ(request->body, "{\"a\":1}");
        if (*c.name == '\0') {
            EXPECT_TRUE(request->headers.empty());
            continue;
        }
        ASSERT_EQ(request->headers.size(), 1u);
        EXPECT_EQ(request->headers[0].name, c.name);
        EXPECT_EQ(request->headers[0].value, c.value);
    }
}

std::string Header(const HttpRequest& request, const std::string& name) {
    for (const auto& header : request.headers)
        if (header.name == name) return header.value;
    return "(none)";
}

TEST(NtfyRequest, PriorityTagsAndTokenFollowTheAlert) {
    const struct {
        AlertKind kind;
        const char* token;
        const char* priority;
        const char* tags;
        const char* authorization;
    } cases[] = {
        {AlertKind::Warning, "tk_abc", "high", "warning", "Bearer tk_abc"},
        {AlertKind::Information, "", "default", "information_source", "(none)"},
        {AlertKind::Report, "  tk_x  ", "default", "page_facing_up", "Bearer tk_x"},
        {AlertKind::Test, "", "default", "white_check_mark", "(none)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tags);
        const auto request = NtfyRequest("https://ntfy.sh/ups", c.token, "Warning - Power fail",
                                         "Input 0.0 V\r\nTemperature 25.0 \xB0" "C\r\n", c.kind);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->url, "https://ntfy.sh/ups");
        EXPECT_EQ(request->contentType, "text/plain; charset=utf-8");
        EXPECT_EQ(request->body, "Input 0.0 V\r\nTemperature 25.0 \xC2\xB0" "C\r\n");
        EXPECT_EQ(Header(*request, "Title"), "Warning - Power fail");
        EXPECT_EQ(Header(*request, "Priority"), c.priority);
        EXPECT_EQ(Header(*request, "Tags"), c.tags);
        EXPECT_EQ(Header(*request, "Authorization"), c.authorization);
    }
    EXPECT_FALSE(NtfyRequest("http://h/t", "tk\r\nX-Injected: 1", "s", "b", AlertKind::Test));
}

// Each encoded word decoded and joined, as the receiver reads the header.
std::string Decoded(const std::string& value) {
    std::string out;
    size_t at = 0;
    while (at < value.size()) {
        EXPECT_EQ(value.compare(at, 10, "=?UTF-8?B?"), 0) << value.substr(at);
        const size_t end = value.find("?=", at + 10);
        if (end == std::string::npos) break;
        EXPECT_LE(end + 2 - at, 75u);
        out += Base64Decode(value.substr(at + 10, end - at - 10)).value_or("?");
        at = end + 2 + (end + 2 < value.size() && value[end + 2] == ' ');
    }
    return out;
}

TEST(HeaderText, PlainAsciiAsItIsAnythingElseAsWholeUtf8Characters) {
    const struct {
        std::string ansi;
        std::string sent;     // for plain text
        std::string decoded;  // for encoded words
    } cases[] = {
        {"Warning - Power fail", "Warning - Power fail", ""},
        {"Two\r\nlines", "Two  lines", ""},
        {"=?UTF-8?B?x?=", "", "=?UTF-8?B?x?="},
        {"25 \xB0" "C", "", "25 \xC2\xB0" "C"},
        {std::string(40, 'a') + "\x80\x80\x80" + std::string(10, 'b'), "",
         std::string(40, 'a') + "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC" + std::string(10, 'b')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ansi);
        const std::string value = HeaderText(c.ansi);
        EXPECT_EQ(value.find_first_of("\r\n"), std::string::npos);
        if (!c.sent.empty())
            EXPECT_EQ(value, c.sent);
        else
            EXPECT_EQ(Decoded(value), c.decoded) << value;
    }
}

}  // namespace
}  // namespace velt
