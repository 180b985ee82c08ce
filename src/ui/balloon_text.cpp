#include "ui/balloon_text.h"

namespace velt::ui {

std::string BalloonTitle(const std::string& title) { return title.substr(0, kBalloonTitleMax); }

std::string BalloonText(const std::string& text) {
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
