#include "ui/win32/command_line_params.h"

#include <gtest/gtest.h>

#include "app/command_line.h"

namespace velt::ui {
namespace {

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
}  // namespace velt::ui
