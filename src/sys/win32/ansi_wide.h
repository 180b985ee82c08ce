#pragma once
// The program's texts are bytes of the ANSI code page; the wide entry points
// (the messenger, Schannel's server name) take UTF-16.
#include <windows.h>

#include <string>

namespace velt::win {

// `text` as UTF-16, through the system's ANSI code page.
inline std::wstring WidenAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(chars > 0 ? chars : 0), L'\0');
    if (chars > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), chars);
    return wide;
}

}  // namespace velt::win
