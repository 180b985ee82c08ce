#include "ui/win32/string_resources.h"

#include <algorithm>

namespace velt::ui {

std::string LoadText(HINSTANCE inst, StringId id) {
    if (id == kNoText) return {};
    // Without a buffer LoadStringW points into the resource itself: no length
    // limit to guess, and the text is converted once, here.
    const wchar_t* text = nullptr;
    const int len = ::LoadStringW(inst, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (len <= 0 || !text) return {};
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, len, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, len, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::string LoadFilter(HINSTANCE inst, StringId id) {
    std::string filter = LoadText(inst, id);
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.push_back('\0');
    return filter;
}

}  // namespace velt::ui
