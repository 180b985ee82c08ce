// Scaling the 96-DPI layout to other DPIs: rounding as the system rounds, and
// the whole layout table keeping its shape (nothing that was apart overlaps,
// nothing leaves its page or group) at the DPIs a monitor commonly has.
#include "ui/dpi_scale.h"
#include "ui/string_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace velt::ui {
namespace {

using layout::Box;
using layout::kMainControls;

TEST(DpiScale, RoundsToNearestWithHalvesAwayFromZero) {
    const struct {
        int value, dpi, expected;
    } cases[] = {
        {318, 96, 318}, {550, 96, 550}, {318, 144, 477}, {550, 144, 825},
        {1, 144, 2},    {3, 144, 5},    {-3, 144, -5},   {0, 192, 0},
        {11, 120, 14},  {13, 120, 16},  {7, 72, 5},      {24, 168, 42},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
}

TEST(DpiScale, BoxesThatTouchStillTouch) {
    // 1.5 px of each at 144 DPI: rounding the width on its own would make the
    // first box reach into the second.
    const Box left{1, 1, 1, 1}, right{2, 1, 1, 1};
    EXPECT_EQ(ScaleToDpi(left, 144).Right(), ScaleToDpi(right, 144).x);
    EXPECT_FALSE(ScaleToDpi(left, 144).Overlaps(ScaleToDpi(right, 144)));
}

std::string Describe(const layout::ControlSpec& c) { return std::string(TextOf(c.text)) + " (" + std::to_string(c.id) + ")"; }

TEST(DpiScale, TheLayoutKeepsItsShapeAtEveryCommonDpi) {
    for (const int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        const Box page = ScaleToDpi(Box{0, 0, layout::kPageWidth, layout::kPageHeight}, dpi);
        const Box repPage = ScaleToDpi(Box{0, 0, layout::kRepPageWidth, layout::kRepPageHeight}, dpi);
        for (const auto& a : kMainControls) {
            const Box sa = ScaleToDpi(a.box, dpi);
            if (a.page != layout::Page::Window) {
                EXPECT_TRUE((layout::IsRepPage(a.page) ? repPage : page).Contains(sa)) << Describe(a) << " at " << dpi;
            }
            for (const auto& b : kMainControls) {
                if (&a == &b || a.page != b.page) continue;
                const Box sb = ScaleToDpi(b.box, dpi);
                EXPECT_EQ(a.box.Overlaps(b.box), sa.Overlaps(sb)) << Describe(a) << " and " << Describe(b) << " at " << dpi;
                if (a.box.Contains(b.box)) {
                    EXPECT_TRUE(sa.Contains(sb)) << Describe(a) << " holds " << Describe(b) << " at " << dpi;
                }
            }
        }
    }
}

}  // namespace
}  // namespace velt::ui
