#pragma once
// What the page server takes from a request head for the handler: the
// document path, its query and the credentials of a Basic authorization.
#include <string>
#include <string_view>

#include "reports/page_request.h"

namespace velt {

struct BasicCredentials {
    std::string user, password;
};

// The value of an Authorization header in the Basic scheme (RFC 7617): the
// Base64 text split at its first colon. Any other scheme, bad Base64 or no
// colon gives an empty user and password.
BasicCredentials SplitBasicAuthorization(std::string_view value);

// The target split at its first '?' into path and query; the authorization
// value may be empty.
PageRequest PageRequestFromHead(std::string_view target, std::string_view authorization);

}  // namespace velt
