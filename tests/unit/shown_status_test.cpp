#include "status/shown_status.h"

#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace velt {
namespace {

TShownStatus AllFields(const std::string& text) {
    TShownStatus s;
    s.readings.fields.fill(text);
    s.identity = {text, text, text};
    s.upsFound = true;
    return s;
}

TEST(ShownStatusPublisher, ASnapshotTakenStaysAsItWasWhileTheMainThreadPublishes) {
    TShownStatusPublisher publisher;
    EXPECT_EQ(*publisher.Current(), TShownStatus{});
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
            const int now = std::stoi(s->readings.fields[0]);
            if (*s != AllFields(s->readings.fields[0])) ++torn;
            if (now < seen) ++backwards;
            seen = now;
        }
    });
    for (int i = 3; i <= kLast; ++i) publisher.Publish(AllFields(std::to_string(i)));
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(backwards, 0);
}

}  // namespace
}  // namespace velt
