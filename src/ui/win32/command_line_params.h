#pragma once
// The program's parameters from the command line WinMain receives (everything
// after the program name), for ParseCommandLine (app/command_line.h) and the
// window's own "/show". Plain C++: no Windows headers here.
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace velt::ui {

// Blank-separated parameters; double quotes group blanks into one parameter
// and are themselves dropped.
inline std::vector<std::string> CommandLineParams(std::string_view line) {
    std::vector<std::string> params;
    std::string current;
    bool inParam = false, quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inParam = true;
        } else if (!quoted && std::isspace(static_cast<unsigned char>(c))) {
            if (inParam) params.push_back(current);
            current.clear();
            inParam = false;
        } else {
            current.push_back(c);
            inParam = true;
        }
    }
    if (inParam) params.push_back(current);
    return params;
}

// "/show" in any letter case: show the window at start instead of starting
// hidden (for demonstrations and screenshots).
inline bool IsShowSwitch(const std::string& param) {
    if (param.size() != 5) return false;
    std::string lower;
    for (const char c : param) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return lower == "/show";
}

inline bool HasShowSwitch(const std::vector<std::string>& params) {
    for (const auto& p : params)
        if (IsShowSwitch(p)) return true;
    return false;
}

// The parameters the program's own switches read: all but "/show".
inline std::vector<std::string> WithoutShowSwitch(const std::vector<std::string>& params) {
    std::vector<std::string> rest;
    for (const auto& p : params)
        if (!IsShowSwitch(p)) rest.push_back(p);
    return rest;
}

}  // namespace velt::ui
