#include "sys/hid_presence.h"

#include <algorithm>

namespace velt {

namespace {

// Described or not: an interface the system lists is still there.
bool Listed(const std::vector<HidDeviceInfo>& present, const std::string& path) {
    return std::any_of(present.begin(), present.end(), [&](const HidDeviceInfo& i) { return i.path == path; });
}

}  // namespace

HidPresenceChange CompareHidPresence(const std::vector<std::string>& knownPaths,
                                     const std::vector<HidDeviceInfo>& present) {
    HidPresenceChange change;
    for (size_t i = 0; i < knownPaths.size(); ++i)
        if (!Listed(present, knownPaths[i])) change.gone.push_back(i);
    for (size_t i = 0; i < present.size(); ++i) {
        // One whose identity cannot be read yet is left for a later comparison.
        const bool known = std::find(knownPaths.begin(), knownPaths.end(), present[i].path) != knownPaths.end();
        if (present[i].described && !known) change.added.push_back(i);
    }
    return change;
}

}  // namespace velt
