#pragma once
// Text typed by a user or sent by a peer, without the blanks (spaces and
// tabs) around it.
#include <string_view>

namespace velt {

inline std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace velt
