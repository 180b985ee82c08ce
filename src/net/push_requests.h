#pragma once
// The requests of the two push channels, made from the settings and one
// alert's texts. Pure: the HTTP client sends what these give.
#include <optional>
#include <string>
#include <string_view>

#include "net/http_request.h"
#include "status/warnings.h"

namespace velt {

// A POST of `jsonBody` to the "Webhook URL" with the "Webhook Header" line
// ("Name: value", blanks around each part dropped; an empty line adds
// nothing). Nothing when the line cannot be sent as one header: no ':', a
// name that is no token or one the request writes itself, a control
// character in the value. The URL is checked when the request is sent.
std::optional<HttpRequest> WebhookRequest(std::string url, std::string_view headerLine, std::string jsonBody);

// A POST of the alert's text to the ntfy topic's URL: the body in UTF-8,
// Title (the subject), Priority ("high" for a warning) and Tags headers, and
// "Authorization: Bearer <token>" when there is a token. `subject` and `body`
// are bytes of the ANSI code page. Nothing when the token holds a control
// character.
std::optional<HttpRequest> NtfyRequest(std::string url, std::string_view token, std::string_view subject,
                                       std::string_view body, AlertKind kind);

// A header value as it may go: printable ASCII as it is, anything else as
// RFC 2047 encoded words of its UTF-8 (=?UTF-8?B?...?=), which the receiver
// decodes. `text` is bytes of the ANSI code page; line breaks become blanks.
std::string HeaderText(std::string_view text);

}  // namespace velt
