#include "sys/hid_presence.h"

#include <gtest/gtest.h>

namespace velt::test {
namespace {

HidDeviceInfo Described(const std::string& path) {
    HidDeviceInfo i;
    i.path = path;
    i.described = true;
    return i;
}

HidDeviceInfo Unreadable(const std::string& path) {
    HidDeviceInfo i;
    i.path = path;
    return i;
}

TEST(HidPresence, OnlyAnUnlistedDeviceIsGoneAndOnlyADescribedOneIsNew) {
    const std::vector<std::string> known{"ups", "busy", "unplugged"};
    // "busy": still listed, but its identity cannot be read at the moment.
    const std::vector<HidDeviceInfo> present{Unreadable("busy"), Described("ups"), Described("new"),
                                             Unreadable("starting")};
    const HidPresenceChange change = CompareHidPresence(known, present);
    EXPECT_EQ(change.gone, std::vector<size_t>{2});
    EXPECT_EQ(change.added, std::vector<size_t>{2});
}

}  // namespace
}  // namespace velt::test
