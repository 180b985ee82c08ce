#include "app/service_dialogs.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace velt::test {
namespace {

struct Search {
    ServiceComPortDialog dialog;
    FakeLog log;
    Search(int stored, std::vector<std::string> free) {
        dialog.SetLog(&log);
        SerialLine line;
        line.ComPort = stored;
        line.ComDtr = true;
        dialog.SetStored(line);
        for (const auto& port : free) dialog.AddPort(port);
    }
    // The ports chosen by `n` tries in a row.
    std::vector<std::string> Tries(int n) {
        std::vector<std::string> chosen;
        for (int i = 0; i < n; ++i) chosen.push_back(dialog.ShowModal() ? *dialog.SelectedPort() : "-");
        return chosen;
    }
};

// The stored port first, even when it is not free now (another program may
// hold it for a while), then the others, round and round, each named once.
TEST(ServicePortSearch, StoredPortFirstThenEveryOtherRoundAndRound) {
    Search search(3, {"COM1", "COM3", "COM4"});
    EXPECT_EQ(search.Tries(5), (std::vector<std::string>{"COM3", "COM1", "COM4", "COM3", "COM1"}));
    EXPECT_EQ(search.log.lines, (std::vector<std::string>{"Looking for the UPS on COM3", "Looking for the UPS on COM1",
                                                          "Looking for the UPS on COM4"}));
    EXPECT_TRUE(search.dialog.DtrChecked());

    Search held(2, {});
    EXPECT_EQ(held.Tries(2), (std::vector<std::string>{"COM2", "COM2"}));

    Search none(0, {});
    EXPECT_EQ(none.Tries(3), (std::vector<std::string>{"-", "-", "-"}));
    EXPECT_EQ(none.log.lines, std::vector<std::string>{"No COM port free for the UPS"});
}

}  // namespace
}  // namespace velt::test
