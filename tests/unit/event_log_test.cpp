#include "reports/event_log.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "sys/error_text.h"

namespace velt::test {
namespace {

TEST(EventLog, LinesCarryTheDateTimeTextAndKeepTheirOrder) {
    FixedFormat fmt;
    EventLog log;
    const LocalDateTime t{2026, 12, 7, 22, 38, 46, 5};
    log.Add("Power Fail", t, fmt);
    log.Add("Power O.K.", t, fmt);
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"07.12.2026 22:38:46 Power Fail",
                                                     "07.12.2026 22:38:46 Power O.K."}));
    // Midnight to the second, whatever the milliseconds: the date alone.
    EXPECT_EQ(log.Add("Start Monitoring", {2026, 12, 8, 0, 0, 0, 999}, fmt),
              "08.12.2026 Start Monitoring");
    EXPECT_EQ(log.Add("x", {2026, 12, 8, 0, 0, 1, 0}, fmt), "08.12.2026 00:00:01 x");
    log.Clear();
    EXPECT_TRUE(log.Lines().empty());
}

TEST(EventLog, SaveFormat) {
    EXPECT_EQ(ProposedLogFileName({2026, 12, 7, 22, 38, 46, 123}), "Log_261207223846123.txt");
    EXPECT_EQ(ProposedLogFileName({2000, 1, 2, 3, 4, 5, 6}), "Log_000102030405006.txt");
    EXPECT_EQ(LogFileText({}), "");
    EXPECT_EQ(LogFileText({"a", "b"}), "a\r\nb\r\n");
}

TEST(EventLog, SystemErrorTextLosesItsTrailingPunctuation) {
    EXPECT_EQ(TrimSystemErrorText("The device is not connected.\r\n"), "The device is not connected");
    EXPECT_EQ(TrimSystemErrorText("Access is denied. . \t"), "Access is denied");
    EXPECT_EQ(TrimSystemErrorText(std::string(300, 'x')).size(), 255u);
    EXPECT_EQ(TrimSystemErrorText("..."), "");
}

}  // namespace
}  // namespace velt::test
