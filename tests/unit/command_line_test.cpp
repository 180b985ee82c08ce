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

using Params = std::vector<std::string>;

TEST(CommandLineParams, SplitsOnRunsOfBlanks) {
    EXPECT_EQ(CommandLineParams(""), Params{});
    EXPECT_EQ(CommandLineParams("   "), Params{});
    EXPECT_EQ(CommandLineParams("/A"), Params{"/A"});
    EXPECT_EQ(CommandLineParams("  /I0665:5161 \t /show  "), (Params{"/I0665:5161", "/show"}));
}

TEST(CommandLineParams, QuotesGroupBlanksAndAreDropped) {
    EXPECT_EQ(CommandLineParams("\"/show\""), Params{"/show"});
    EXPECT_EQ(CommandLineParams("\"a b\" c"), (Params{"a b", "c"}));
    EXPECT_EQ(CommandLineParams("x\"y z\"w"), Params{"xy zw"});
    EXPECT_EQ(CommandLineParams("\"\""), Params{""});
    EXPECT_EQ(CommandLineParams("\"open"), Params{"open"});  // an unclosed quote runs to the end
}

TEST(CommandLineParams, ShowSwitchIsAWholeParameterInAnyCase) {
    EXPECT_TRUE(HasShowSwitch(CommandLineParams("/show")));
    EXPECT_TRUE(HasShowSwitch(CommandLineParams("/A /SHOW")));
    EXPECT_TRUE(HasShowSwitch(CommandLineParams("/Show")));
    EXPECT_FALSE(HasShowSwitch(CommandLineParams("/shows")));
    EXPECT_FALSE(HasShowSwitch(CommandLineParams("show")));
    EXPECT_FALSE(HasShowSwitch(CommandLineParams("/sho w")));
    EXPECT_FALSE(HasShowSwitch(CommandLineParams("")));
}

// The program's own switches never see "/show"; everything else keeps its order.
TEST(CommandLineParams, ShowSwitchIsTakenOutOfTheProgramParameters) {
    EXPECT_EQ(WithoutShowSwitch(CommandLineParams("/A /SHOW /I0665:5161 /show")),
              (std::vector<std::string>{"/A", "/I0665:5161"}));
    EXPECT_EQ(WithoutShowSwitch(CommandLineParams("/shows")), (std::vector<std::string>{"/shows"}));
    EXPECT_TRUE(WithoutShowSwitch(CommandLineParams("/show")).empty());
}

TEST(CommandLineParams, FeedTheProgramSwitches) {
    const auto options = ParseCommandLine(CommandLineParams("/show \"/I0665:5161\" /A"));
    EXPECT_EQ(options.extraVid, 0x0665);
    EXPECT_EQ(options.extraPid, 0x5161);
    EXPECT_TRUE(options.showAbout);
}

}  // namespace
}  // namespace velt
