#include "status/shown_status.h"

#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace velt {
namespace {

ShownStatus AllFields(const std::string& text) {
    ShownStatus s;
    for (const ReplyFieldName& name : kReplyFields) s.reading.*name.field = {text, std::nullopt};
    s.identity = {text, text, text};
    s.upsFound = true;
    return s;
}

TEST(ShownStatusPublisher, ASnapshotTakenStaysAsItWasWhileTheMainThreadPublishes) {
    ShownStatusPublisher publisher;
    EXPECT_EQ(*publisher.Current(), ShownStatus{});
    publisher.Publish(AllFields("1"));
    const auto taken = publisher.Current();
    publisher.Publish(AllFields("2"));
    EXPECT_EQ(*taken, AllFields("1"));
    EXPECT_EQ(*publisher.Current(), AllFields("2"));

    // A reader never sees a half-written snapshot nor one older than it saw
    // before. Its loop ends: once the writer is done, the next read sees the last.
    constexpr int kLast = 2000;
    int torn = 0, backwards = 0;
    std::thread reader([&] {
        for (int seen = 0; seen != kLast;) {
            const auto s = publisher.Current();
            const int now = std::stoi(s->reading.IPVoltage.text);
            if (*s != AllFields(s->reading.IPVoltage.text)) ++torn;
            if (now < seen) ++backwards;
            seen = now;
        }
    });
    for (int i = 3; i <= kLast; ++i) publisher.Publish(AllFields(std::to_string(i)));
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(backwards, 0);
}

// The snapshot's rules over what the main thread has: nothing answers while
// monitoring is stopped or no UPS is found; thresholds give volts only when
// full is above empty; a begun second of the countdown counts whole.
TEST(ComposeShownStatus, RespondingThresholdsAndCountdownFromThePlainInputs) {
    struct Case {
        const char* name;
        bool upsFound, monitoring, linkResponding;
        int32_t empty, full;
        std::optional<uint64_t> remainingMs;
        bool responding;
        std::optional<double> emptyVolts, fullVolts;
        std::optional<int> seconds;
    };
    const Case cases[] = {
        {"all well", true, true, true, 97, 135, std::nullopt, true, 9.7, 13.5, std::nullopt},
        {"monitoring stopped", true, false, true, 97, 135, 0, false, 9.7, 13.5, 0},
        {"no UPS found", false, true, true, 135, 135, 1, false, std::nullopt, std::nullopt, 1},
        {"the link watch gave up", true, true, false, 135, 97, 539001, false, std::nullopt, std::nullopt, 540},
        {"a whole second left", true, true, true, 97, 135, 540000, true, 9.7, 13.5, 540},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShownStatusParts parts;
        parts.upsFound = c.upsFound;
        parts.monitoring = c.monitoring;
        parts.linkResponding = c.linkResponding;
        parts.emptyTenths = c.empty;
        parts.fullTenths = c.full;
        parts.countdownRemainingMs = c.remainingMs;
        const ShownStatus shown = ComposeShownStatus(parts);
        EXPECT_EQ(shown.live.responding, c.responding);
        EXPECT_EQ(shown.live.emptyVolts, c.emptyVolts);
        EXPECT_EQ(shown.live.fullVolts, c.fullVolts);
        EXPECT_EQ(shown.live.countdownSeconds, c.seconds);
        EXPECT_FALSE(LastReply(shown));
    }
}

}  // namespace
}  // namespace velt
