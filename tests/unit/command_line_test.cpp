#include "app/command_line.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

struct HidCase {
    const char* param;
    uint16_t vid, pid;
};

TEST(CommandLine, HidSwitchNeedsItsExactShape) {
    const HidCase cases[] = {
        {"/I1234:ABCD", 0x1234, 0xABCD},
        {"/I0665:5161", 0x0665, 0x5161},
        {"/Iabcd:ef01", 0xABCD, 0xEF01},  // digits in either case
        {"/IZZZZ:ABCD", 0xFFFF, 0xABCD},  // a group that does not parse
        {"/I12 4:ABCD", 0xFFFF, 0xABCD},
        {"/I-001:+001", 0xFFFF, 0xFFFF},  // no signs: exactly four digits
        {"/i1234:ABCD", 0xFFFF, 0xFFFF},  // lower-case switch letter
        {"/I123:ABCD", 0xFFFF, 0xFFFF},   // 10 characters
        {"/I12345:ABCD", 0xFFFF, 0xFFFF},
        {"/I1234-ABCD", 0xFFFF, 0xFFFF},  // no colon
        {"/I", 0xFFFF, 0xFFFF},
    };
    for (const HidCase& c : cases) {
        const auto o = ParseCommandLine({c.param});
        EXPECT_EQ(o.extraVid, c.vid) << c.param;
        EXPECT_EQ(o.extraPid, c.pid) << c.param;
    }
}

TEST(CommandLine, SwitchesCombineInAnyOrderAndTheLastHidPairWins) {
    auto o = ParseCommandLine({"/A", "/I1234:ABCD"});
    EXPECT_TRUE(o.showAbout);
    EXPECT_EQ(o.extraVid, 0x1234);
    o = ParseCommandLine({"/I1234:ABCD", "junk", "/I0001:0002", "/A"});
    EXPECT_TRUE(o.showAbout);
    EXPECT_EQ(o.extraVid, 0x0001);
    EXPECT_EQ(o.extraPid, 0x0002);
    // A malformed "/I" after a good one is ignored, it does not reset the pair.
    o = ParseCommandLine({"/I1234:ABCD", "/I1234-ABCD"});
    EXPECT_EQ(o.extraVid, 0x1234);
}

TEST(CommandLine, AboutIsTheWholeParameterOnly) {
    for (const char* p : {"/a", "/A ", "/About", "A", ""}) EXPECT_FALSE(ParseCommandLine({p}).showAbout) << p;
    EXPECT_FALSE(ParseCommandLine({}).showAbout);
}

}  // namespace
}  // namespace velt
