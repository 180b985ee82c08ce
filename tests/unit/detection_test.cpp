#include "core/detection.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes.h"
#include "status_fakes.h"

namespace velt::test {
namespace {

const std::string kStatus = "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r";
const std::string kInfo = "#MEGATEC         UPS-650VA  V1.0      \r";

// A serial UPS answering from a table; `answerFrom` delays answers per command.
struct Detection : ::testing::Test {
    VirtualTime time;
    FakeLog log;
    TUPSLink link;
    TUPSSettings live;
    FakeFeedback feedback;
    FakeDetectionView view;
    FakeBatteryView batteryView;
    BatteryCharge battery{live, batteryView, '.'};
    int loadBatteryCalls = 0;
    std::map<std::string, std::string> answers;
    std::map<std::string, int> tries;
    int answerFrom = 1;
    FakeSerial* port = nullptr;
    Detector detector{{link, live, time, log, feedback, view, battery, [this] { ++loadBatteryCalls; },
                        [] { return std::make_pair(std::string("0665"), std::string("5161")); }}};

    void SetUp() override {
        auto p = std::make_unique<FakeSerial>(time);
        port = p.get();
        port->responder = [this](const std::string& cmd) {
            const int n = ++tries[cmd];
            if (n < answerFrom) return std::string();
            const auto it = answers.find(cmd);
            return it == answers.end() ? cmd : it->second;  // unknown commands are echoed
        };
        link.ComHandle = std::move(p);
        link.ComActive = true;
        link.ComPort = 1;
    }
};

TEST_F(Detection, MegatecOnly) {
    answers = {{"Q1\r", kStatus}, {"F\r", "#220.0 003 12.00 50.0\r"}};
    EXPECT_TRUE(detector.DetectProtocol());
    EXPECT_TRUE(link.Q1Supported);
    EXPECT_FALSE(link.QSSupported);
    EXPECT_TRUE(link.FSupported);
    EXPECT_EQ(feedback.status, "Megatec protocol UPS detected: COM1");
    ASSERT_EQ(feedback.balloons.size(), 1u);
    EXPECT_EQ(feedback.balloons[0].second, "Megatec protocol UPS detected:\rCOM1");
    EXPECT_EQ(view.connection, std::make_pair(ConnectionKind::Serial, 1));
    EXPECT_EQ(port->written.substr(0, 3), "Q1\r");
    EXPECT_EQ(tries["I\r"], 0);  // "I" is off by default
    EXPECT_EQ(batteryView.asked, 0);
    EXPECT_EQ(loadBatteryCalls, 1);
}

TEST_F(Detection, MustekOnlyAndBoth) {
    answers = {{"QS\r", kStatus}};
    EXPECT_TRUE(detector.DetectProtocol());
    EXPECT_FALSE(link.Q1Supported);
    EXPECT_TRUE(link.QSSupported);
    EXPECT_EQ(feedback.status, "Mustek protocol UPS detected: COM1");

    answers["Q1\r"] = kStatus;
    EXPECT_TRUE(detector.DetectProtocol());
    EXPECT_TRUE(link.Q1Supported && link.QSSupported);
    EXPECT_EQ(feedback.statusHistory.end()[-2], "Megatec protocol UPS detected: COM1");
    EXPECT_EQ(feedback.status, "Mustek protocol UPS detected: COM1");  // Mustek last
}

TEST_F(Detection, NeitherOrEchoingUpsIsNotDetectedButFStillRuns) {
    answers = {{"F\r", "#220.0 003 24.00 50.0\r"}};  // everything else echoed
    EXPECT_FALSE(detector.DetectProtocol());
    EXPECT_EQ(feedback.status, "Supported protocol UPS not detected!");
    EXPECT_EQ(feedback.balloons.back().first, "Warning!");
    EXPECT_EQ(tries["Q1\r"], 6);  // ComMaxAttempts 5: six tries
    EXPECT_EQ(tries["I\r"], 0);
    EXPECT_TRUE(link.FSupported);
    EXPECT_EQ(live.FullVoltage, 271);  // the 24 V preset
}

TEST_F(Detection, SwitchedOffProbesAreNotSent) {
    live.Q1 = live.QS = false;
    live.F = false;
    live.BalloonHints = false;
    answers = {{"Q1\r", kStatus}};
    EXPECT_FALSE(detector.DetectProtocol());
    EXPECT_TRUE(port->written.empty());
    EXPECT_EQ(batteryView.asked, 1);  // no rating: the user is asked
    EXPECT_TRUE(feedback.balloons.empty());
}

TEST_F(Detection, SerialRetriesAreBoundedByMaxAttempts) {
    answers = {{"Q1\r", kStatus}, {"F\r", "#220.0 003 12.00 50.0\r"}};
    answerFrom = 3;
    EXPECT_TRUE(detector.DetectProtocol());
    EXPECT_EQ(tries["Q1\r"], 3);

    tries.clear();
    link.ComMaxAttempts = 0;
    EXPECT_FALSE(detector.DetectProtocol());
    EXPECT_EQ(tries["Q1\r"], 1);
    EXPECT_EQ(tries["QS\r"], 1);
}

TEST_F(Detection, IdentificationFromFixedPositions) {
    live.I = true;
    answers = {{"Q1\r", kStatus}, {"I\r", kInfo}};
    EXPECT_TRUE(detector.DetectProtocol());
    EXPECT_TRUE(link.ISupported);
    ASSERT_TRUE(view.shown);
    EXPECT_EQ(view.shown->Mfr, "MEGATEC");
    EXPECT_EQ(view.shown->Model, "UPS-650VA");
    EXPECT_EQ(view.shown->Ver, "V1.0");
    EXPECT_EQ(tries["I\r"], 1);  // never retried
}

TEST_F(Detection, RatingWithoutCarriageReturnSparesTheBatteryQuestion) {
    answers = {{"Q1\r", kStatus}, {"F\r", "#220.0 013 72.00 50.0"}};
    EXPECT_TRUE(detector.DetectProtocol());
    EXPECT_TRUE(link.FSupported);
    EXPECT_DOUBLE_EQ(detector.Rated().BatteryVoltage, 72.0);
    EXPECT_EQ(batteryView.asked, 0);
}

TEST(ProbeReplies, StatusRules) {
    EXPECT_TRUE(IsStatusProbeReply(kStatus, "Q1\r"));
    EXPECT_FALSE(IsStatusProbeReply("Q1\r", "Q1\r"));
    EXPECT_FALSE(IsStatusProbeReply(kStatus.substr(0, 45), "Q1\r"));
    EXPECT_FALSE(IsStatusProbeReply("#" + kStatus.substr(1), "Q1\r"));
}

}  // namespace
}  // namespace velt::test
