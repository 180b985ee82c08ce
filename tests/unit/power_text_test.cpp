#include "ui/power_text.h"

#include <gtest/gtest.h>

namespace velt::ui {
namespace {

TEST(PowerText, DurationsInWholeMinutesNeverRoundedUp) {
    const struct {
        int seconds;
        const char* text;
    } cases[] = {{0, "under 1 min"}, {59, "under 1 min"}, {60, "1 min"}, {719, "11 min"},
                 {3599, "59 min"},  {3600, "1 h"},         {3900, "1 h 5 min"}, {90061, "25 h 1 min"}};
    for (const auto& c : cases) EXPECT_EQ(DurationText(c.seconds), c.text) << c.seconds;
}

TEST(PowerText, TheLineSaysWhatIsLeftOnBatteryAndAFullChargeOnMains) {
    const ShownPower known{720, 1500, 180.4, 600.0};
    const ShownPower onlyFull{std::nullopt, 1500, std::nullopt, std::nullopt};
    const struct {
        ShownPower power;
        bool onBattery;
        const char* runtime;
        const char* watts;
    } cases[] = {
        {known, true, "Runtime left: 12 min", "Load: 180 W"},
        {known, false, "Full-charge runtime at this load: 25 min", "Load: 180 W"},
        {onlyFull, true, "", ""},  // no charge known: nothing rather than the full-charge figure
        {onlyFull, false, "Full-charge runtime at this load: 25 min", ""},
        {{}, false, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RuntimeLine(c.power, c.onBattery), c.runtime);
        EXPECT_EQ(WattsLine(c.power), c.watts);
    }
}

}  // namespace
}  // namespace velt::ui
