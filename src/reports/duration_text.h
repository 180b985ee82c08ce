#pragma once
// A runtime as people read it: "12 min", "1 h 5 min", "under 1 min". Minutes
// begun are not counted, so a runtime is never promised longer than
// estimated. The words are the caller's (the window's come from its strings).
#include <string>

namespace velt {

struct DurationWords {
    const char* underAMinute = "under 1 min";
    const char* minutes = "min";
    const char* hours = "h";
};

std::string DurationText(int seconds, const DurationWords& words = {});

}  // namespace velt
