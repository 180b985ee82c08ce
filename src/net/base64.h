#pragma once
// Base64 of RFC 4648 with padding: AUTH LOGIN sends the user and password in
// it, and HTTP Basic authorization arrives in it.
#include <optional>
#include <string>
#include <string_view>

namespace velt {

std::string Base64Encode(std::string_view bytes);
// Nothing for text that is not Base64 (a wrong character, a bad length or
// padding anywhere but the end).
std::optional<std::string> Base64Decode(std::string_view text);

}  // namespace velt
