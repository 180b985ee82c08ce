// What the notification icon and the LED bar are given to show.
#include <gtest/gtest.h>

#include <string>

#include "ui/balloon_text.h"
#include "ui/led_bar_geometry.h"

namespace velt::ui {
namespace {

TEST(BalloonText, TitleIsCutTo63Characters) {
    EXPECT_EQ(BalloonTitle("UPS Status"), "UPS Status");
    EXPECT_EQ(BalloonTitle(std::string(63, 't')), std::string(63, 't'));
    EXPECT_EQ(BalloonTitle(std::string(100, 't')), std::string(63, 't'));
}

TEST(BalloonText, CarriageReturnStartsANewLine) {
    EXPECT_EQ(BalloonText("Megatec protocol UPS detected:\rCOM1"), "Megatec protocol UPS detected:\nCOM1");
    EXPECT_EQ(BalloonText("a\r\nb"), "a\nb");
    EXPECT_EQ(BalloonText("a\r"), "a\n");
    EXPECT_EQ(BalloonText("a\r\r\nb"), "a\n\nb");
}

TEST(BalloonText, TextIsCutTo255CharactersAfterTheLineBreaks) {
    EXPECT_EQ(BalloonText(std::string(300, 'x')), std::string(255, 'x'));
    // 254 characters, a CR LF and more: the break counts as one character.
    const std::string text = std::string(254, 'x') + "\r\nyz";
    EXPECT_EQ(BalloonText(text), std::string(254, 'x') + "\n");
}

int Lit(const std::vector<LedSegment>& s) {
    int n = 0;
    for (const auto& x : s) n += x.lit;
    return n;
}

TEST(LedBar, SegmentsFillTheWidthWithoutOverlap) {
    // 4 px segments with 1 px gaps: 17 of them take 84 px of 88.
    const auto s = LedSegments(88, 50);
    ASSERT_EQ(s.size(), 17u);
    EXPECT_EQ(s.front().left, 0);
    for (size_t i = 0; i < s.size(); ++i) {
        EXPECT_LE(s[i].right, 88);
        if (i > 0) {
            EXPECT_GE(s[i].left, s[i - 1].right);
        }
    }
}

TEST(LedBar, PositionLightsItsShareOfSegments) {
    EXPECT_EQ(Lit(LedSegments(99, 0)), 0);
    EXPECT_EQ(Lit(LedSegments(99, 100)), 20);
    EXPECT_EQ(Lit(LedSegments(99, 50)), 10);
    EXPECT_EQ(Lit(LedSegments(99, -5)), 0);
    // Lit segments are always the leftmost ones.
    const auto s = LedSegments(99, 37);
    for (size_t i = 1; i < s.size(); ++i) EXPECT_FALSE(!s[i - 1].lit && s[i].lit) << i;
}

// Red below the break at 75, lime above it; a full battery shows lime at the
// right end, a three-quarter one no lime at all.
TEST(LedBar, ColoursChangeAtTheBreakPosition) {
    const auto s = LedSegments(99, 75);
    int highLit = 0, lowLit = 0;
    for (const auto& x : s) {
        highLit += x.lit && x.high;
        lowLit += x.lit && !x.high;
    }
    EXPECT_EQ(highLit, 0);
    EXPECT_EQ(lowLit, 15);
    const auto full = LedSegments(99, 100);
    EXPECT_FALSE(full.front().high);
    EXPECT_TRUE(full.back().high);
    int high = 0;
    for (const auto& x : full) high += x.high;
    EXPECT_EQ(high, 5);
}

TEST(LedBar, TooNarrowForASegmentShowsNone) {
    EXPECT_TRUE(LedSegments(3, 100).empty());
    EXPECT_TRUE(LedSegments(0, 100).empty());
}

}  // namespace
}  // namespace velt::ui
