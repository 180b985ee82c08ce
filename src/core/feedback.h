#pragma once
// Feedback any part of the logic can give: the single-panel status bar and the
// notification balloon (shown only when "Balloon Hints" is on; the caller checks).
#include <string>

namespace velt {

enum class BalloonKind { Information, Warning };

constexpr unsigned kBalloonMs = 10000;

class IFeedback {
public:
    virtual ~IFeedback() = default;
    virtual void SetStatusText(const std::string& text) = 0;
    // A carriage return in `text` starts a new line.
    virtual void ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind) = 0;
};

}  // namespace velt
