#include "status/remote_ups_rules.h"

#include <gtest/gtest.h>

namespace velt::test {
namespace {

using Verdict = RemoteUpsRules::Verdict;

struct Step {
    uint64_t atMs;
    enum { OL, OB, FSD, Silence } what;
    Verdict expected;
};

// Each story on fresh rules, with a dead time of 15 s.
TEST(RemoteUpsRules, ForcedShutdownOnceAndSilenceOnBatteryPastTheDeadTime) {
    struct Story {
        const char* name;
        std::vector<Step> steps;
    } stories[] = {
        {"FSD counts on its appearance only",
         {{0, Step::OL, Verdict::None}, {1000, Step::FSD, Verdict::ForcedShutdown}, {2000, Step::FSD, Verdict::None},
          {3000, Step::OL, Verdict::None}, {4000, Step::FSD, Verdict::ForcedShutdown}}},
        {"on battery, silent up to the dead time and then past it, once",
         {{0, Step::OB, Verdict::None}, {15000, Step::Silence, Verdict::None},
          {15001, Step::Silence, Verdict::DeadOnBattery}, {30000, Step::Silence, Verdict::None}}},
        {"a reading starts a new silence",
         {{0, Step::OB, Verdict::None}, {16000, Step::Silence, Verdict::DeadOnBattery}, {17000, Step::OB, Verdict::None},
          {32000, Step::Silence, Verdict::None}, {32001, Step::Silence, Verdict::DeadOnBattery}}},
        {"silence on mains is only a lost link",
         {{0, Step::OL, Verdict::None}, {60000, Step::Silence, Verdict::None}}},
        {"silence before any reading knows no battery",
         {{60000, Step::Silence, Verdict::None}}},
    };
    for (const Story& story : stories) {
        SCOPED_TRACE(story.name);
        RemoteUpsRules rules;
        for (const Step& s : story.steps) {
            SCOPED_TRACE(s.atMs);
            const Verdict v = s.what == Step::Silence
                                  ? rules.OnSilence(s.atMs, 15)
                                  : rules.OnReading(s.what == Step::OB, s.what == Step::FSD, s.atMs);
            EXPECT_EQ(v, s.expected);
        }
    }
}

}  // namespace
}  // namespace velt::test
