#pragma once
// Balloon texts as the notification-icon record takes them: the title cut to
// 63 characters and the text to 255 (its fields hold 64 and 256 with the
// terminator), a carriage return in the text made a line break. Plain C++.
#include <string>

namespace velt::ui {

inline constexpr size_t kBalloonTitleMax = 63;
inline constexpr size_t kBalloonTextMax = 255;

inline std::string BalloonTitle(const std::string& title) { return title.substr(0, kBalloonTitleMax); }

// "\r\n" and a lone "\r" both become "\n"; the cut comes after, so a line
// break never costs the text a character.
inline std::string BalloonText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out.push_back(text[i]);
        } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
            out.push_back('\n');
        }
    }
    return out.substr(0, kBalloonTextMax);
}

}  // namespace velt::ui
