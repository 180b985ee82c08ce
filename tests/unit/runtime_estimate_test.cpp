#include "reports/runtime_estimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "reports/power_figures.h"

namespace velt {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const BatteryRating kNoRating{};
// 9 Ah at 24 V, 70 % of it reaching the load: 151.2 Wh; at 50 % of 600 W that is 1814.4 s.
const BatteryRating kRating{600, 9, 24};

// Discharges with known answers: {seconds, start charge, end charge, load}.
TEST(RuntimeEstimate, TheFitAndTheRatingGiveTheKnownRuntimes) {
    struct Case {
        const char* name;
        std::vector<Discharge> discharges;
        BatteryRating rating;
        double charge, load;
        std::optional<double> seconds;
    };
    const Case cases[] = {
        // 30 % in 600 s at 30 %: 0.05 %/s, k = 1/600.
        {"one outage, full battery at its own load", {{600, 100, 70, 30}}, kNoRating, 100, 30, 2000},
        {"one outage, half a battery at twice the load", {{600, 100, 70, 30}}, kNoRating, 50, 60, 500},
        {"two outages that agree give the same rate", {{600, 100, 70, 30}, {300, 90, 60, 60}}, kNoRating, 100, 30,
         2000},
        // k = (1000*0.01*10 + 100*0.1*10) / (1000*10^2 + 100*10^2) = 2/1100: the long outage weighs ten times more.
        {"the longer outage weighs more", {{1000, 100, 90, 10}, {100, 100, 90, 10}}, kNoRating, 100, 10, 5500},
        // 6 % in 600 s at 1 % counts as at 5 %: k = 0.002, and an idle UPS as at 5 % too.
        {"light loads count as the floor", {{600, 100, 94, 1}}, kNoRating, 100, 0, 10000},
        {"the lessons win over the rating", {{600, 100, 70, 30}}, kRating, 100, 30, 2000},
        {"a charge beyond full counts as full", {{600, 100, 70, 30}}, kNoRating, 130, 30, 2000},
        {"an empty battery has nothing left", {{600, 100, 70, 30}}, kNoRating, 0, 30, 0},
        {"senseless outages teach nothing: the rating stands in",
         {{59, 100, 50, 30}, {600, 50, 60, 30}, {600, 70, 70, 30}, {0, 100, 90, 30}, {kNaN, 100, 90, 30},
          {600, 100, 90, -1}, {600, 100, 90, 900}, {600, 150, 90, 30}},
         kRating, 100, 50, 1814.4},
        {"from the rating at half a charge", {}, kRating, 50, 50, 907.2},
        {"the rating at a light load uses the floor", {}, kRating, 100, 2, 1814.4 * 10},
        {"no rating without the capacity", {}, {600, 0, 24}, 100, 50, std::nullopt},
        {"no rating without the watts", {}, {0, 9, 24}, 100, 50, std::nullopt},
        {"no rating without the pack's voltage", {}, {600, 9, 0}, 100, 50, std::nullopt},
        {"a load that makes no sense", {{600, 100, 70, 30}}, kRating, 100, -5, std::nullopt},
        {"a charge that makes no sense", {{600, 100, 70, 30}}, kRating, kNaN, 30, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto seconds = EstimateRuntimeSeconds(FitDrain(c.discharges), c.rating, c.charge, c.load);
        ASSERT_EQ(seconds.has_value(), c.seconds.has_value());
        if (seconds) { EXPECT_NEAR(*seconds, *c.seconds, 1e-6); }
    }
}

TEST(RuntimeEstimate, TheFitCountsOnlyTheOutagesItLearnedFrom) {
    EXPECT_EQ(FitDrain({}), std::nullopt);
    const std::vector<Discharge> mixed{{600, 100, 70, 30}, {30, 100, 99, 30}, {300, 90, 60, 60}, {600, 60, 61, 30}};
    const auto fit = FitDrain(mixed);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->discharges, 2);
    EXPECT_NEAR(fit->percentPerSecondPerLoad, 1.0 / 600, 1e-12);
}

// An emptied history leaves nothing to learn from: the rating stands in again.
TEST(RuntimeEstimate, NewLessonsReplaceTheOldOnes) {
    RuntimeLessons lessons;
    EXPECT_EQ(lessons.Fit(), std::nullopt);
    lessons.Set(std::vector<Discharge>{{600, 100, 70, 30}});
    EXPECT_EQ(lessons.Fit(), FitDrain(std::vector<Discharge>{{600, 100, 70, 30}}));
    lessons.Set({});
    EXPECT_EQ(lessons.Fit(), std::nullopt);
}

TEST(PowerFigures, RuntimeAndWattsFromWhatIsKnown) {
    struct Case {
        const char* name;
        int32_t ratingWatts;
        double batteryAh;
        PowerReadings readings;
        bool learned;
        ShownPower expected;
    };
    const std::optional<int> none;
    const Case cases[] = {
        {"nothing known: no figures", 0, 0, {80, 30, 12}, false, {}},
        {"learned: runtime at the charge and from full, no watts without the rating", 0, 0, {50, 60, 12}, true,
         {500, 1000, std::nullopt, std::nullopt}},
        {"rated: watts and the rating's runtime, rounded down", 600, 9, {100, 50, 24}, false,
         {1814, 1814, 300.0, 600.0}},
        {"rating alone gives watts but no runtime", 1000, 0, {80, 25, 24}, false, {none, none, 250.0, 1000.0}},
        {"without a load only the rating is known", 1000, 9, {80, std::nullopt, 24}, true,
         {none, none, std::nullopt, 1000.0}},
        {"without a charge the full-charge runtime still is", 0, 0, {std::nullopt, 30, 12}, true,
         {none, 2000, std::nullopt, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TUPSSettings settings;
        settings.UPSRatingW = c.ratingWatts;
        settings.BatteryAh = c.batteryAh;
        const std::optional<DrainFit> fit =
            c.learned ? FitDrain(std::vector<Discharge>{{600, 100, 70, 30}}) : std::nullopt;
        EXPECT_EQ(PowerFigures(fit, settings, c.readings), c.expected);
    }
}

}  // namespace
}  // namespace velt
