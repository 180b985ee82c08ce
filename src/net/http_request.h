#pragma once
// An HTTP POST as the push channels make it, and its bytes on the wire
// (RFC 9112): the request line, the headers every request has, the caller's
// headers, the body. Pure text, no sockets.
#include <string>
#include <string_view>
#include <vector>

#include "net/http_url.h"

namespace velt {

struct HttpHeader {
    std::string name, value;
};

struct HttpRequest {
    std::string url;                  // as entered; HttpPost parses it
    std::vector<HttpHeader> headers;  // beside Host, User-Agent, Content-Type, Content-Length, Connection
    std::string contentType;
    std::string body;
};

// A name of letters, digits and the few signs a token allows (RFC 9110
// 5.6.2), and not one that the request writes itself, such as Host or
// Content-Length.
bool UsableHeaderName(std::string_view name);

// No control character but the tab: a line break would start a header of
// its own.
bool UsableHeaderValue(std::string_view value);

// "POST /target HTTP/1.1", Host, User-Agent "Veltrano", Content-Type,
// Content-Length, Connection: close, the request's headers, then the body.
// The headers are taken as given: check them first.
std::string ComposeHttpPost(const HttpUrl& url, const HttpRequest& request);

}  // namespace velt
