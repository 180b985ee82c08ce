#include "status/status_evaluation.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "fakes.h"
#include "power_fakes.h"
#include "status/power_fail_policy.h"
#include "status_fakes.h"

namespace velt::test {
namespace {

std::string Reply(const std::string& ip, const std::string& op, const std::string& batt, const std::string& bits) {
    return "(" + ip + " 230.0 " + op + " 013 50.0 " + batt + " 25.0 " + bits + "#";
}

struct Evaluation : ::testing::Test {
    FakeStatusView view;
    FakeFeedback feedback;
    FakeWarnings warnings;
    TUPSSettings live;
    FakeBatteryView batteryView;
    BatteryCharge battery{live, batteryView, '.'};
    FakeTimer delay;
    VirtualTime time;
    FixedFormat fmt;
    std::vector<std::string> log;
    // The real countdown behind the evaluation, with its actions faked.
    power::Events events;
    power::FakeComputerActions actions{events};
    power::FakeLauncher launcher{events};
    power::FakePump pump{events};
    TUPSLink link;
    FakeLock lock;
    FakeLog ioLog;
    PowerFailPolicy policy{{delay, live, actions, link, lock, time, ioLog, launcher, pump, nullptr}};
    StatusEvaluation eval{{view, feedback, warnings, battery, policy, live, time, fmt,
                            [this](const std::string& m, const LocalDateTime&) { log.push_back(m); },
                            [] { return UpsIdentityText{"0665", "5161", "UPS"}; }}};

    void SetUp() override { battery.ApplyBatteryPreset(12); }
    void Feed(const std::string& reply) {
        const auto st = ParseStatusReply(reply, time.Now(), true);
        ASSERT_TRUE(st);
        eval.Evaluate(*st);
    }
};

TEST_F(Evaluation, PowerFailureArmsTheDelayOnceAndLogsOnce) {
    Feed(Reply("000.0", "230.0", "13.6", "10001000"));
    EXPECT_EQ(log, std::vector<std::string>{"Power Fail"});
    EXPECT_TRUE(delay.enabled);
    EXPECT_EQ(delay.interval, 600000u);
    EXPECT_EQ(view.tray, TrayImage::PowerFail);
    EXPECT_EQ(view.mode, "OB");
    EXPECT_TRUE(view.boxes[1]);
    Feed(Reply("000.0", "230.0", "13.5", "10001000"));
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(delay.starts, 1);
    ASSERT_EQ(feedback.balloons.size(), 1u);
    EXPECT_EQ(feedback.balloons[0], std::make_pair(std::string("UPS Status"), std::string("Power fail")));
}

TEST_F(Evaluation, VoltageRuleIsStrictTakesTwoRepliesAndWinsOnEveryOneAfter) {
    live.MinVoltage = 110;
    Feed(Reply("000.0", "230.0", "11.0", "10001000"));
    Feed(Reply("000.0", "230.0", "10.9", "10001000"));
    EXPECT_EQ(delay.interval, 600000u);  // 11.0 is not below 11.0, so 10.9 is the first low one
    Feed(Reply("000.0", "230.0", "10.9", "10001000"));
    EXPECT_EQ(delay.interval, 100u);
    EXPECT_TRUE(delay.enabled);
    const int starts = delay.starts;
    Feed(Reply("000.0", "230.0", "10.8", "10001000"));
    EXPECT_EQ(delay.starts, starts + 1);  // re-armed by every qualifying reply
    live.VoltageAction = false;
    Feed(Reply("000.0", "230.0", "10.7", "10001000"));
    EXPECT_EQ(delay.starts, starts + 1);
}

TEST_F(Evaluation, VoltageRuleWinsOverTheDelayOfTheSameReply) {
    live.DelayAction = false;
    Feed(Reply("230.0", "230.0", "10.0", "00001000"));  // mains present: no rule
    Feed(Reply("000.0", "230.0", "10.0", "10001000"));
    EXPECT_FALSE(delay.enabled);
    live.DelayAction = true;
    Feed(Reply("230.0", "230.0", "13.6", "00001000"));
    Feed(Reply("000.0", "230.0", "10.0", "10001000"));
    Feed(Reply("000.0", "230.0", "10.0", "10001000"));
    EXPECT_EQ(delay.interval, 100u);
    EXPECT_TRUE(delay.enabled);
}

// Online units send one cell's voltage. Without scaling, "2.27" on a 12 V unit
// read as a charge of about -191 % and a voltage far below any minimum.
TEST_F(Evaluation, PerCellBatteryVoltageCountsForThePackAndZeroIsUnknown) {
    struct Case {
        const char* batt;
        const char* caption;  // the charge shown afterwards
        bool armsAt100ms;     // after two such failure replies
    };
    const Case cases[] = {
        {"2.27", "98.0", false},   // 13.62 V: well above the 11.0 V minimum
        {"1.80", "27.5", true},    // 10.8 V: below it
        {"0.00", "27.5", false},   // unknown: the charge stays, no rule
        {"13.6", "97.5", false},   // a pack voltage as before
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.batt);
        Feed(Reply("230.0", "230.0", c.batt, "00001000"));
        Feed(Reply("000.0", "230.0", c.batt, "10001000"));
        Feed(Reply("000.0", "230.0", c.batt, "10001000"));
        EXPECT_EQ(view.fields[6], c.batt);
        EXPECT_EQ(batteryView.caption, c.caption);
        EXPECT_EQ(delay.interval == 100u, c.armsAt100ms);
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), "Battery voltage is reported per cell; counting 6 cells"), 1);
}

TEST_F(Evaluation, ReturnCancelsTheCountdown) {
    Feed(Reply("000.0", "230.0", "13.6", "10001000"));
    Feed(Reply("230.0", "230.0", "13.6", "00001000"));
    EXPECT_FALSE(delay.enabled);
    EXPECT_EQ(log, (std::vector<std::string>{"Power Fail", "Power O.K."}));
    EXPECT_EQ(view.tray, TrayImage::Normal);
    EXPECT_EQ(view.mode, "OL");
}

TEST_F(Evaluation, AvrModesAndEdges) {
    Feed(Reply("198.0", "220.0", "13.6", "00101000"));
    EXPECT_EQ(view.avrMode, "BOOST");
    EXPECT_TRUE(view.avrEnabled);
    EXPECT_EQ(view.tray, TrayImage::Avr);
    Feed(Reply("240.0", "220.0", "13.6", "00101000"));
    EXPECT_EQ(view.avrMode, "TRIM");
    Feed(Reply("220.0", "220.0", "13.6", "00101000"));
    EXPECT_EQ(view.avrMode, "BYPASS");
    Feed(Reply("220.0", "220.0", "13.6", "00001000"));
    EXPECT_EQ(view.avrMode, "...");
    EXPECT_FALSE(view.avrEnabled);
    EXPECT_EQ(log, (std::vector<std::string>{"AVR On", "AVR Off"}));
    EXPECT_EQ(view.tray, TrayImage::Normal);
}

TEST_F(Evaluation, InputVoltageExtremesOnlyWhileMainsArePresent) {
    Feed(Reply("230.0", "230.0", "13.6", "00001000"));
    Feed(Reply("228.5", "230.0", "13.6", "00001000"));
    Feed(Reply("231.0", "230.0", "13.6", "00001000"));
    Feed(Reply("000.0", "230.0", "13.6", "10001000"));
    EXPECT_EQ(view.min, "228.5");
    EXPECT_EQ(view.max, "231.0");
    EXPECT_DOUBLE_EQ(eval.IPVoltageMin(), 228.5);
}

TEST_F(Evaluation, BatteryLowIsReportedOnEachNewEdgeOnly) {
    Feed(Reply("230.0", "230.0", "13.6", "01001000"));
    Feed(Reply("230.0", "230.0", "13.6", "01001000"));
    Feed(Reply("230.0", "230.0", "13.6", "00001000"));
    Feed(Reply("230.0", "230.0", "13.6", "01001000"));
    EXPECT_EQ(log, (std::vector<std::string>{"Battery Low", "Battery Low"}));
}

TEST_F(Evaluation, WarningsGoWhereSelected) {
    live.LANWarnings = true;
    Feed(Reply("000.0", "230.0", "13.6", "10001000"));
    EXPECT_TRUE(warnings.mails.empty());
    ASSERT_EQ(warnings.lan.size(), 1u);
    EXPECT_EQ(warnings.lan[0],
              "Warning - 07.12.2026 22:38:46 Power fail\r\nVID: 0x0665 PID: 0x5161 Product: UPS\r\n");

    live.SMTPWarnings = true;
    Feed(Reply("230.0", "230.0", "13.6", "00101000"));  // power back and AVR on
    Feed(Reply("230.0", "230.0", "13.6", "01001000"));  // AVR off, battery low
    ASSERT_EQ(warnings.mails.size(), 4u);
    EXPECT_EQ(warnings.mails[0].first, "Information - Power O.K.");
    EXPECT_EQ(warnings.mails[1].first, "Warning - AVR On");
    EXPECT_EQ(warnings.mails[2].first, "Information - AVR Off");
    EXPECT_EQ(warnings.mails[2].second.substr(0, 14), "Information - ");
    EXPECT_EQ(warnings.mails[2].second, warnings.lan[3]);
    EXPECT_EQ(warnings.mails[3].first, "Warning - Battery Low");

    live.PowerFail = false;
    Feed(Reply("000.0", "230.0", "13.6", "10001000"));
    EXPECT_EQ(warnings.mails.size(), 4u);  // unselected: logged, not sent
    EXPECT_EQ(log.back(), "Power Fail");
}

// No selection box of its own: a lost link warns wherever warnings go, even
// with every event box off.
TEST_F(Evaluation, ALostLinkWarnsLikeTheStatusEvents) {
    live.PowerFail = live.AVR = live.BatteryLow = false;
    eval.RaiseLinkLost();
    EXPECT_TRUE(warnings.mails.empty() && warnings.lan.empty());
    live.SMTPWarnings = live.LANWarnings = true;
    eval.RaiseLinkLost();
    eval.RaiseLinkBack();
    ASSERT_EQ(warnings.mails.size(), 2u);
    EXPECT_EQ(warnings.mails[0].first, "Warning - UPS not responding");
    EXPECT_EQ(warnings.mails[1].first, "Information - UPS responding again");
    EXPECT_EQ(warnings.lan[1], "Information - 07.12.2026 22:38:46 UPS responding again\r\n"
                               "VID: 0x0665 PID: 0x5161 Product: UPS\r\n");
    EXPECT_EQ(log, (std::vector<std::string>{"UPS not responding", "UPS not responding", "UPS responding again"}));
    ASSERT_EQ(feedback.balloons.size(), 3u);
}

TEST_F(Evaluation, BalloonsFollowTheSetting) {
    live.BalloonHints = false;
    Feed(Reply("000.0", "230.0", "13.6", "11101000"));
    EXPECT_TRUE(feedback.balloons.empty());
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(Evaluation, FaultAndStandbyBoxes) {
    Feed(Reply("230.0", "230.0", "13.6", "00010000"));
    EXPECT_TRUE(view.boxes[4]);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(view.boxes[5]);
    EXPECT_EQ(view.standby, "Online UPS");
    Feed(Reply("230.0", "230.0", "13.6", "00001111"));
    EXPECT_EQ(view.standby, "Standby UPS");
    EXPECT_TRUE(view.boxes[5] && view.boxes[6] && view.boxes[7] && view.boxes[8]);
    EXPECT_FALSE(view.boxes[4]);
    EXPECT_EQ(view.mode, "OB");  // test in progress
    Feed(Reply("230.0", "230.0", "13.6", "00000010"));
    EXPECT_EQ(view.mode, "OFF");
}

TEST_F(Evaluation, ConversionFailureStopsAtTheFailedField) {
    view.fields[4] = "old";
    Feed("(000.0 230.0 ---.- 013 50.0 13.6 25.0 10000000#");
    EXPECT_EQ(view.fields[3], "---.-");
    EXPECT_EQ(view.fields[4], "old");
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(eval.PowerFailState());
    // The missed edge is reported on the next good reply.
    Feed(Reply("000.0", "230.0", "13.6", "10000000"));
    EXPECT_EQ(log, std::vector<std::string>{"Power Fail"});
}

// What other threads are given must be what the window shows, also after a
// reply that stops early and keeps older fields and boxes on screen.
TEST_F(Evaluation, ShownRecordIsWhatTheScreenShows) {
    const auto expectScreen = [this] {
        const TUPSStatus& shown = eval.Shown();
        for (int field = 1; field <= 8; ++field)
            EXPECT_EQ((shown.*kReplyFields[field - 1].field).text, view.fields[field]) << field;
        EXPECT_EQ(shown.PowerFail, view.boxes[1]);
        EXPECT_EQ(shown.BatteryLow, view.boxes[2]);
        EXPECT_EQ(shown.AVR, view.boxes[3]);
        EXPECT_EQ(shown.UPSFailed, view.boxes[4]);
    };
    const std::string replies[] = {
        "(221.0 140.0 220.0 013 50.1 13.6 25.0 11110000#",
        "(000.0 230.0 ---.- 007 50.0 13.6 25.0 00000000#",  // stops at field 3
        "(233.0 000.0 232.0 015",                           // ends before the status field
        "(230.0 230.0 230.0 020 50.0 13.5 24.0 00100000#",
    };
    for (const std::string& reply : replies) {
        SCOPED_TRACE(reply);
        Feed(reply);
        expectScreen();
    }
    EXPECT_EQ(eval.Shown().UPSStatus.text, "00100000");
    eval.ShowNoReadings();
    expectScreen();
    for (const ReplyFieldName& name : kReplyFields) EXPECT_EQ(eval.Shown().*name.field, ReplyField{}) << name.key;
    EXPECT_TRUE(eval.Shown().AVR);
}

TEST_F(Evaluation, BatteryChargeFollowsFieldSix) {
    Feed(Reply("230.0", "230.0", "12.7", "00001000"));
    EXPECT_EQ(batteryView.caption, "75.0");
    Feed("(230.0 230.0 229.0 013 50.0 xx 25.0 00001000#");
    EXPECT_EQ(batteryView.caption, "75.0");
}

// Replies collected from real units.
TEST_F(Evaluation, FieldRepliesNeverCrash) {
    const char* const replies[] = {
        "(208.4 140.0 208.4 034 59.9 2.05 35.0 00110000#",
        "(000.0 000.0 000.0 000 00.0 0.00 00.0 00000000#",
        "(233.0 000.0 232.0 015 50.0 27.0 20.8 00001",
        "(233.0 000.0 232.0 015 50.0 27.0 20.8",
        "(",
        "(1 2 3 4 5 6 7 8 9 10 11#",
    };
    for (const char* r : replies) Feed(r);
    EXPECT_EQ(view.fields[8], "8");  // extra fields are ignored
}

}  // namespace
}  // namespace velt::test
