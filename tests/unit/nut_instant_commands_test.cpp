// The instant commands a client may run, the bytes each sends to the UPS,
// and the table that remembers how they went.
#include "net/nut_instant_commands.h"

#include <gtest/gtest.h>

#include <set>

#include "net/nut_tracking.h"

namespace velt {
namespace {

TEST(NutInstantCommands, EachSendsItsUpsCommandAndKeepsItsButtonTwin) {
    const struct {
        const char* name;
        int delayMinutes;
        const char* bytes;
        std::optional<UPSTestButton> button;
    } cases[] = {
        {"test.battery.start.quick", 5, "T\r", UPSTestButton::Test10s},
        {"test.battery.start.deep", 5, "TL\r", UPSTestButton::TestLow},
        {"test.battery.stop", 5, "CT\r", UPSTestButton::CancelTest},
        {"beeper.toggle", 5, "Q\r", UPSTestButton::Beeper},
        {"shutdown.return", 5, "S05R0001\r", std::nullopt},
        {"SHUTDOWN.RETURN", 1, "S01R0001\r", std::nullopt},
        {"shutdown.return", 60, "S60R0001\r", std::nullopt},
        {"shutdown.stop", 5, "C\r", std::nullopt},
    };
    for (const auto& c : cases) {
        const NutInstantCommand* command = FindNutInstantCommand(c.name);
        ASSERT_TRUE(command) << c.name;
        EXPECT_EQ(command->upsCommand(c.delayMinutes), c.bytes) << c.name;
        EXPECT_EQ(command->button, c.button) << c.name;
    }
    EXPECT_EQ(NutInstantCommands().size(), 6u);
    for (const char* absent : {"load.off", "test.battery.start", "", "beeper.toggle "})
        EXPECT_FALSE(FindNutInstantCommand(absent)) << absent;
}

TEST(NutTracking, IdsAreVersion4UuidsDistinctFromEachOther) {
    EXPECT_EQ(NutTrackingId(0, 0), "00000000-0000-4000-8000-000000000000");
    EXPECT_EQ(NutTrackingId(~0ull, ~0ull), "ffffffff-ffff-4fff-bfff-ffffffffffff");
    EXPECT_EQ(NutTrackingId(0x0123456789abcdefull, 0xfedcba9876543210ull), "01234567-89ab-4def-bedc-ba9876543210");
    NutTracking tracking;
    std::set<std::string> ids;
    for (int i = 0; i < 50; ++i) ids.insert(tracking.Start());
    EXPECT_EQ(ids.size(), 50u);
    for (const std::string& id : ids) EXPECT_EQ(id.size(), 36u) << id;  // what upscmd insists on
}

TEST(NutTracking, OutcomesAreKeptForTheLastFewCommandsOnly) {
    NutTracking tracking(3);
    const std::string first = tracking.Start(), second = tracking.Start(), third = tracking.Start();
    tracking.Finish(second, true);
    tracking.Finish(third, false);
    tracking.Finish("not-an-id", true);
    EXPECT_EQ(tracking.State(first), NutCommandState::Pending);
    EXPECT_EQ(tracking.State(second), NutCommandState::Success);
    EXPECT_EQ(tracking.State(third), NutCommandState::Failed);
    const std::string fourth = tracking.Start();
    EXPECT_EQ(tracking.State(first), std::nullopt);
    EXPECT_EQ(tracking.State(fourth), NutCommandState::Pending);
    tracking.Finish(first, true);  // a late outcome of a forgotten id changes nothing
    EXPECT_EQ(tracking.State(first), std::nullopt);
    EXPECT_EQ(tracking.State(""), std::nullopt);
}

}  // namespace
}  // namespace velt
