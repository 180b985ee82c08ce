#include "app/report_schedule.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "status_fakes.h"

namespace velt::test {
namespace {

struct Schedule : ::testing::Test {
    VirtualTime time;
    FixedFormat fmt;
    FakeTimer smtpTimer, lanTimer;
    TUPSSettings live;
    FakeWarnings warnings;
    ShownStatusPublisher shown;
    ReportSchedule schedule{{smtpTimer, lanTimer, live, warnings, shown, time, fmt}};
};

// A report timer's first report comes a whole period after it starts, also
// when the saved settings start it before any period is applied.
TEST_F(Schedule, ATimerRunsAWholePeriodFromItsStartAndKeepsItsCountForTheSamePeriod) {
    EXPECT_EQ(smtpTimer.interval, 1200000u);
    EXPECT_EQ(lanTimer.interval, 1200000u);
    live.SMTPReports = true;
    schedule.SMTPReportsCBClick();
    EXPECT_TRUE(smtpTimer.enabled);
    live.SMTPDelay = 5;
    schedule.SMTPDelayUDClick();
    schedule.SMTPDelayUDClick();
    EXPECT_EQ(smtpTimer.interval, 300000u);
    EXPECT_EQ(smtpTimer.starts, 2);
    schedule.RestartReportTimers();  // a running timer is left to its count
    EXPECT_EQ(smtpTimer.starts, 2);
    EXPECT_FALSE(lanTimer.enabled);
}

// The tick and the button both send the report composed from what is shown,
// whether reports are on or not.
TEST_F(Schedule, TheMailAndTheLanReportCarryTheSameText) {
    schedule.MailStatusReport();
    schedule.LANStatusReport();
    ASSERT_EQ(warnings.mails.size(), 1u);
    EXPECT_EQ(warnings.mails[0].first, "Report - 07.12.2026 22:38:46");
    EXPECT_EQ(warnings.mails[0].second.substr(0, 30), "Report - 07.12.2026 22:38:46\r\n");
    ASSERT_EQ(warnings.lan.size(), 1u);
    EXPECT_EQ(warnings.lan[0], warnings.mails[0].second);
}

}  // namespace
}  // namespace velt::test
