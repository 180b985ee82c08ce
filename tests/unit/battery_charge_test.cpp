#include "status/battery_charge.h"

#include <gtest/gtest.h>

#include "status_fakes.h"

namespace velt::test {
namespace {

struct Battery : ::testing::Test {
    TUPSSettings live;
    FakeBatteryView view;
    BatteryCharge battery{live, view, '.'};
    void SetUp() override { battery.ApplyBatteryPreset(12); }
};

TEST_F(Battery, ChargeIsLinearBetweenEmptyAndFull) {
    battery.UpdateBatteryCharge(12.70);
    EXPECT_EQ(view.caption, "75.0");
    EXPECT_EQ(view.gauge, 75);
    battery.UpdateBatteryCharge(11.70);
    EXPECT_EQ(view.caption, "50.0");
    EXPECT_EQ(view.gauge, 50);
    battery.UpdateBatteryCharge(14.0);
    EXPECT_EQ(view.caption, "107.5");
    EXPECT_EQ(view.gauge, 50);  // above the maximum: the gauge keeps its position
    battery.UpdateBatteryCharge(9.0);
    EXPECT_EQ(view.caption, "-17.5");
}

TEST_F(Battery, FullNotAboveEmptyShowsNoEstimate) {
    live.EmptyVoltage = 137;
    live.FullVoltage = 137;
    view.gauge = 3;
    battery.UpdateBatteryCharge(12.0);
    EXPECT_EQ(view.caption, "...");
    EXPECT_EQ(view.gauge, 100);
    EXPECT_FALSE(battery.Charge());
}

TEST_F(Battery, ChargeUsesTheLocaleSeparator) {
    BatteryCharge comma(live, view, ',');
    comma.UpdateBatteryCharge(12.70);
    EXPECT_EQ(view.caption, "75,0");
}

TEST_F(Battery, RatedVoltageAppliesItsPreset) {
    battery.ApplyNominalVoltage(24.0);
    EXPECT_EQ(view.nominal, "24");
    EXPECT_EQ(live.EmptyVoltage, 213);
    EXPECT_EQ(live.FullVoltage, 271);
    EXPECT_EQ(live.MinVoltage, 230);
    const UpDownModel m = battery.UpDown(BatteryUpDown::Min);
    EXPECT_EQ(m.min, 180);
    EXPECT_EQ(m.max, 300);
    EXPECT_EQ(view.texts[BatteryUpDown::Empty], "21.3");
    EXPECT_EQ(view.texts[BatteryUpDown::Full], "27.1");
    EXPECT_EQ(view.texts[BatteryUpDown::Min], "23.0");
    EXPECT_EQ(view.asked, 0);
}

TEST_F(Battery, WithoutARatingTheUserIsAskedAndOddVoltagesKeepTheRanges) {
    view.askAnswer = 72;
    battery.ApplyNominalVoltage(std::nullopt);
    EXPECT_EQ(view.asked, 1);
    EXPECT_EQ(view.nominal, "72");
    EXPECT_EQ(battery.UpDown(BatteryUpDown::Full).max, 160);
    EXPECT_EQ(live.FullVoltage, 137);
    view.askAnswer = 48;
    battery.ApplyNominalVoltage(std::nullopt);
    EXPECT_EQ(live.FullVoltage, 546);
}

TEST_F(Battery, KeysStepOnlyWithinTheRange) {
    live.MinVoltage = 110;
    battery.OnKeyDown(BatteryUpDown::Min, 0x21);  // Page Up
    EXPECT_EQ(live.MinVoltage, 120);
    EXPECT_EQ(view.texts[BatteryUpDown::Min], "12.0");
    live.MinVoltage = 155;
    battery.OnKeyDown(BatteryUpDown::Min, 0x21);
    EXPECT_EQ(live.MinVoltage, 155);  // no partial step to the bound
    live.MinVoltage = 159;
    battery.OnKeyDown(BatteryUpDown::Min, 0x26);
    EXPECT_EQ(live.MinVoltage, 160);
    battery.OnKeyDown(BatteryUpDown::Min, 0x26);
    EXPECT_EQ(live.MinVoltage, 160);
    battery.OnKeyDown(BatteryUpDown::Min, 0x28);
    battery.OnKeyDown(BatteryUpDown::Min, 0x22);
    EXPECT_EQ(live.MinVoltage, 149);
    battery.OnKeyDown(BatteryUpDown::Min, 'A');
    EXPECT_EQ(live.MinVoltage, 149);
}

TEST_F(Battery, ChangingOutsideTheRangeLeavesTheText) {
    view.texts[BatteryUpDown::Full] = "13.7";
    battery.OnChanging(BatteryUpDown::Full, 200);
    EXPECT_EQ(view.texts[BatteryUpDown::Full], "13.7");
    battery.OnChanging(BatteryUpDown::Full, 150);
    EXPECT_EQ(view.texts[BatteryUpDown::Full], "15.0");
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(74.5), 74);
    EXPECT_EQ(RoundHalfEven(75.5), 76);
    EXPECT_EQ(RoundHalfEven(75.49), 75);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
}

}  // namespace
}  // namespace velt::test
