#include "reports/duration_text.h"

namespace velt {

std::string DurationText(int seconds, const DurationWords& words) {
    const int minutes = seconds / 60;
    if (minutes < 1) return words.underAMinute;
    const std::string min = std::to_string(minutes % 60) + " " + words.minutes;
    if (minutes < 60) return min;
    const std::string hours = std::to_string(minutes / 60) + " " + words.hours;
    return minutes % 60 ? hours + " " + min : hours;
}

}  // namespace velt
