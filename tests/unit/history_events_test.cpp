#include "reports/history_events.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velt {
namespace {

constexpr int64_t kT0 = 1'800'000'000;  // seconds, UTC

struct Step {
    int64_t seconds;  // after kT0
    bool powerFail = false, batteryLow = false, testing = false;
    double charge = 100, load = 20, packVolts = 27;
};

HistoryReading ReadingAt(const Step& s) {
    HistoryReading r;
    r.utcMs = (kT0 + s.seconds) * 1000;
    r.utcOffsetMinutes = 60;
    r.values[static_cast<size_t>(HistoryQuantity::Charge)] = s.charge;
    r.values[static_cast<size_t>(HistoryQuantity::Load)] = s.load;
    r.values[static_cast<size_t>(HistoryQuantity::BatteryVoltage)] = s.packVolts;
    r.onBattery = s.powerFail;
    return r;
}

TUPSStatus StatusOf(const Step& s) {
    TUPSStatus st;
    st.FieldsCut = 8;  // a whole reply: its bits count
    st.UPSStatus.text = "00000000";
    st.PowerFail = s.powerFail;
    st.BatteryLow = s.batteryLow;
    st.TestInProgress = s.testing;
    return st;
}

LocalDateTime At(int64_t seconds) {
    LocalDateTime t;
    const int64_t s = kT0 + seconds + 3600;  // local time at +01:00
    t.year = 2027, t.month = 1, t.day = 15;
    t.hour = static_cast<int>((s / 3600) % 24), t.minute = static_cast<int>((s / 60) % 60),
    t.second = static_cast<int>(s % 60);
    t.utcOffsetMinutes = 60;
    return t;
}

std::vector<EventRow> Feed(HistoryEventTracker& tracker, const std::vector<Step>& steps) {
    std::vector<EventRow> out;
    for (const Step& s : steps) {
        auto rows = tracker.OnReading(StatusOf(s), ReadingAt(s));
        out.insert(out.end(), rows.begin(), rows.end());
    }
    return out;
}

// A failure of 120 s at a falling charge: its row when it begins, then the
// whole of it at its end, with what the runtime is learned from.
TEST(HistoryEvents, AMainsFailureIsWrittenAtItsStartAndAgainWhole) {
    HistoryEventTracker tracker;
    const auto rows = Feed(tracker, {{0},
                                     {10, true, false, false, 95, 30, 25},
                                     {70, true, true, false, 60, 50, 23},
                                     {130, false, false, false, 62, 20, 26}});
    ASSERT_EQ(rows.size(), 4u);  // failure begins, battery low begins, failure ends, battery low ends
    EXPECT_EQ(rows[0].kind, HistoryEventKind::MainsFailure);
    EXPECT_EQ(rows[0].startUtc, kT0 + 10);
    EXPECT_FALSE(rows[0].endUtc);
    EXPECT_EQ(rows[0].startCharge, 95);
    const EventRow& whole = rows[2];
    EXPECT_EQ(whole.kind, HistoryEventKind::MainsFailure);
    EXPECT_EQ(whole.startUtc, kT0 + 10);
    EXPECT_EQ(whole.endUtc, kT0 + 130);
    EXPECT_EQ(whole.lowestCharge, 60);
    EXPECT_EQ(whole.lowestBatteryVolts, 23);
    EXPECT_EQ(whole.averageLoad, 40);  // of the readings on battery only
    EXPECT_EQ(whole.utcOffsetMinutes, 60);
    EXPECT_EQ(rows[3].kind, HistoryEventKind::BatteryLow);
    EXPECT_FALSE(rows[3].averageLoad);
}

TEST(HistoryEvents, ActionsAreNotedOnTheFailureUnderWayAndEverythingEndsAtExit) {
    HistoryEventTracker tracker;
    Feed(tracker, {{0, true}});
    auto first = tracker.OnPowerAction("external program", At(5));
    auto second = tracker.OnPowerAction("shutdown", At(6));
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].kind, HistoryEventKind::PowerAction);
    EXPECT_EQ(second[0].action, "shutdown");
    EXPECT_EQ(second[1].action, "external program, shutdown");
    EXPECT_FALSE(second[1].endUtc);
    auto last = tracker.CloseAll(At(8));
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].endUtc, kT0 + 8);
    EXPECT_TRUE(tracker.CloseAll(At(9)).empty());
}

TEST(HistoryEvents, ATestsOutcomeAndTheLinksLossArePairedOnce) {
    HistoryEventTracker tracker;
    auto rows = Feed(tracker, {{0, false, false, true}, {5, false, true, true}, {10}});
    ASSERT_FALSE(rows.empty());
    const auto test = std::find_if(rows.rbegin(), rows.rend(),
                                   [](const EventRow& r) { return r.kind == HistoryEventKind::UpsTest; });
    ASSERT_NE(test, rows.rend());
    EXPECT_EQ(test->details, "battery low during the test");
    EXPECT_EQ(test->endUtc, kT0 + 10);

    EXPECT_EQ(tracker.OnLinkLost(At(20)).size(), 1u);
    EXPECT_TRUE(tracker.OnLinkLost(At(21)).empty());
    auto back = tracker.OnLinkBack(At(50));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].endUtc, kT0 + 50);
    EXPECT_TRUE(tracker.OnLinkBack(At(51)).empty());
}

TEST(HistoryEvents, AReplyWithoutItsStatusFieldChangesNothing) {
    HistoryEventTracker tracker;
    Feed(tracker, {{0, true}});
    Step cut{10};
    TUPSStatus st = StatusOf(cut);
    st.FieldsCut = 5;
    EXPECT_TRUE(tracker.OnReading(st, ReadingAt(cut)).empty());
}

}  // namespace
}  // namespace velt
