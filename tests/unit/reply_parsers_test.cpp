#include "core/reply_parsers.h"

#include <gtest/gtest.h>

namespace velt::test {
namespace {

const std::string kInfo = "# MEGATEC         UPS-650VA  V1.0      \r";

TEST(InfoReply, Rules) {
    EXPECT_FALSE(ParseInfoReply("I\r"));
    EXPECT_FALSE(ParseInfoReply(std::string(kInfo.begin(), kInfo.end() - 1)));  // no CR
    EXPECT_FALSE(ParseInfoReply(kInfo.substr(0, 37)));
    const auto short38 = ParseInfoReply("#" + std::string(36, 'x') + "\r");
    ASSERT_TRUE(short38);
    EXPECT_EQ(short38->Ver, "xxxxxxxx");  // cut at the end of the reply
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
    EXPECT_FALSE(ParseRatingReply("#220.0 004 12.00 50.0", '.'));  // no CR
    EXPECT_FALSE(ParseRatingReply("F\r" + std::string(30, ' '), '.'));
    // Over HID the report ids of later reports sit inside the fields.
    const std::string hid = std::string("#220.0 0") + '\0' + "04 12.00" + '\0' + " 50.0\r" + std::string(3, '\0');
    ASSERT_TRUE(ParseRatingReply(hid, '.'));
    EXPECT_DOUBLE_EQ(ParseRatingReply(hid, '.')->BatteryVoltage, 12.0);
}

}  // namespace
}  // namespace velt::test
