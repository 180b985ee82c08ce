#pragma once
// Balloon texts as the notification-icon record takes them: the title cut to
// 63 characters and the text to 255 (its fields hold 64 and 256 with the
// terminator), a carriage return in the text made a line break. Plain C++.
#include <cstddef>
#include <string>

namespace velt::ui {

inline constexpr size_t kBalloonTitleMax = 63;
inline constexpr size_t kBalloonTextMax = 255;

std::string BalloonTitle(const std::string& title);

// "\r\n" and a lone "\r" both become "\n"; the cut comes after, so a line
// break never costs the text a character.
std::string BalloonText(const std::string& text);

}  // namespace velt::ui
