#pragma once
// Looking for a switch such as "/show" in the program's command line.
// Plain C++: no Windows headers here.
#include <cctype>
#include <string_view>

namespace velt::ui {

// True when one of the blank-separated parameters equals `name`, ignoring case
// and surrounding double quotes.
inline bool HasSwitch(std::string_view commandLine, std::string_view name) {
    const auto equalNoCase = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    };
    size_t pos = 0;
    while (pos < commandLine.size()) {
        while (pos < commandLine.size() && std::isspace(static_cast<unsigned char>(commandLine[pos]))) ++pos;
        size_t end = pos;
        while (end < commandLine.size() && !std::isspace(static_cast<unsigned char>(commandLine[end]))) ++end;
        std::string_view param = commandLine.substr(pos, end - pos);
        if (param.size() >= 2 && param.front() == '"' && param.back() == '"') param = param.substr(1, param.size() - 2);
        if (!param.empty() && equalNoCase(param, name)) return true;
        pos = end;
    }
    return false;
}

}  // namespace velt::ui
