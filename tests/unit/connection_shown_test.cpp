// The "Connection" group for each link: one label enabled, the picture of
// that link, and the others' plain captions, so nothing is left over from the
// link shown before (the window applies each state whole).
#include "ui/connection_shown.h"

#include <gtest/gtest.h>

#include <string>

namespace velt::ui {
namespace {

struct Expected {
    ConnectionImage image;
    int enabledLabel;  // 0 USB, 1 serial, 2 network
    const char* com;
    const char* net;
};

void ExpectShown(const ShownConnection& s, const Expected& e, const std::string& what) {
    EXPECT_EQ(s.image, e.image) << what;
    EXPECT_EQ(s.usbEnabled, e.enabledLabel == 0) << what;
    EXPECT_EQ(s.comEnabled, e.enabledLabel == 1) << what;
    EXPECT_EQ(s.netEnabled, e.enabledLabel == 2) << what;
    EXPECT_EQ(s.comCaption, e.com) << what;
    EXPECT_EQ(s.netCaption, e.net) << what;
}

TEST(ConnectionShown, EachLinkShowsItsPictureAndOnlyItsLabel) {
    ExpectShown(LocalConnectionShown(ConnectionKind::Usb, 0), {ConnectionImage::Usb, 0, "COM", "NUT"}, "usb");
    ExpectShown(LocalConnectionShown(ConnectionKind::Serial, 3), {ConnectionImage::Serial, 1, "COM3", "NUT"},
                "serial");
    ExpectShown(NetworkConnectionShown("ups@nas.example.org:3493"),
                {ConnectionImage::Network, 2, "COM", "ups@nas.example.org:3493"}, "network");
}

}  // namespace
}  // namespace velt::ui
