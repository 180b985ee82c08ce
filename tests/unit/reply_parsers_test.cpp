#include "core/reply_parsers.h"

#include <gtest/gtest.h>

#include "core/command_exchange.h"
#include "core/commands.h"
#include "fakes.h"

namespace velt::test {
namespace {

// "#", manufacturer (15), blank, model (10), blank, version (10), CR: what real units send.
const std::string kInfo = "#MEGATEC         UPS-650VA  V1.0      \r";

// `text` as the exchange gives it over HID: in 9-byte reports, the first
// report's id taken off and the ids of the later ones left inside.
std::string OverHid(const std::string& text, std::string_view command) {
    VirtualTime time;
    FakeHid hid{time};
    FakeLog log;
    TUPSLink link;
    link.UsbActive = true;
    link.HidDevice = &hid;
    hid.QueueReply(text);
    return ExchangeCommand(link, command, time, log);
}

TEST(InfoReply, FieldsOverSerialAndHid) {
    struct Case {
        std::string reply, mfr, model, ver;
    };
    const Case cases[] = {
        {kInfo, "MEGATEC", "UPS-650VA", "V1.0"},
        {"#ABCDEFGHIJKLMNO PQRSTUVWXY 0123456789\r", "ABCDEFGHIJKLMNO", "PQRSTUVWXY", "0123456789"},
        // Blanks and control characters on either side of a field.
        {"#      MEGATEC \t \tUPS-650VA \x01    V1.0\x7f\r", "MEGATEC", "UPS-650VA", "V1.0"},
        // Cut where the reply ends.
        {"#" + std::string(36, 'x') + "\r", std::string(15, 'x'), std::string(10, 'x'), std::string(9, 'x')},
    };
    for (const Case& c : cases) {
        for (const std::string& raw : {c.reply, OverHid(c.reply, cmd::kInfo)}) {
            const auto info = ParseInfoReply(raw);
            ASSERT_TRUE(info) << raw;
            EXPECT_EQ(info->Mfr, c.mfr) << raw;
            EXPECT_EQ(info->Model, c.model) << raw;
            EXPECT_EQ(info->Ver, c.ver) << raw;
        }
    }
}

TEST(InfoReply, WhatIsNoIdentification) {
    EXPECT_FALSE(ParseInfoReply("I\r"));
    EXPECT_FALSE(ParseInfoReply(kInfo.substr(0, kInfo.size() - 1)));  // no CR
    EXPECT_FALSE(ParseInfoReply(kInfo.substr(0, 36) + "\r"));
    // Report ids do not make a short reply long enough.
    EXPECT_FALSE(ParseInfoReply("#ACME X 1\r" + std::string(40, '\0')));
}

TEST(RatingReply, Fields) {
    const auto r = ParseRatingReply("#220.0 004 12.00 50.0\r", '.');
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->Voltage, 220.0);
    EXPECT_DOUBLE_EQ(r->Current, 4.0);
    EXPECT_DOUBLE_EQ(r->BatteryVoltage, 12.0);
    EXPECT_DOUBLE_EQ(r->Frequency, 50.0);
    EXPECT_DOUBLE_EQ(ParseRatingReply("#220,0 004 24,00 50,0\r", ',')->BatteryVoltage, 24.0);
    // Blank or unconvertible fields, or the reply ending early: the probe fails.
    EXPECT_FALSE(ParseRatingReply("#   .   .  24.00   . \r", '.'));
    EXPECT_FALSE(ParseRatingReply("#220.0 004 12.00\r                 ", '.'));
    EXPECT_FALSE(ParseRatingReply("#220.0 004 12.00\r50.0", '.'));  // the reply ends at its CR
    EXPECT_FALSE(ParseRatingReply("F\r" + std::string(30, ' '), '.'));
}

// Some units send no CR after the rating; over HID the report ids of later
// reports sit inside the fields.
TEST(RatingReply, WithoutCarriageReturnAndOverHid) {
    for (const std::string reply : {"#220.0 013 72.00 50.0", "#220.0 013 72.00 50.0\r"}) {
        for (const std::string& raw : {reply, OverHid(reply, cmd::kRating)}) {
            const auto r = ParseRatingReply(raw, '.');
            ASSERT_TRUE(r) << raw;
            EXPECT_DOUBLE_EQ(r->Current, 13.0);
            EXPECT_DOUBLE_EQ(r->BatteryVoltage, 72.0);
            EXPECT_DOUBLE_EQ(r->Frequency, 50.0);
        }
    }
}

}  // namespace
}  // namespace velt::test
