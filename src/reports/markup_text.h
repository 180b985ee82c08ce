#pragma once
// Text placed in HTML or SVG, in an element or a quoted attribute: shown as
// text, never taken as markup.
#include <string>
#include <string_view>

namespace velt {

std::string MarkupText(std::string_view text);

}  // namespace velt
