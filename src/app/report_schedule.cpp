#include "app/report_schedule.h"

#include "core/date_time_text.h"
#include "reports/report_text.h"

namespace velt {

namespace {

constexpr uint32_t kMinuteMs = 60000;
constexpr uint32_t kPeriodBeforeSettingsMs = 20 * kMinuteMs;

}  // namespace

// A report box switched on by the saved settings starts its timer before any
// period is applied: its first report comes a whole period later.
ReportSchedule::ReportSchedule(ReportScheduleDeps deps) : d_(deps) {
    d_.smtpTimer.SetInterval(kPeriodBeforeSettingsMs);
    d_.lanTimer.SetInterval(kPeriodBeforeSettingsMs);
}

void ReportSchedule::StartMailReportTimer() {
    SMTPDelayUDClick();
    if (d_.live.SMTPReports && !d_.smtpTimer.Enabled()) d_.smtpTimer.SetEnabled(true);
}

void ReportSchedule::StopMailReportTimer() { d_.smtpTimer.SetEnabled(false); }

void ReportSchedule::StartLANReportTimer() {
    LANDelayUDClick();
    if (d_.live.LANReports && !d_.lanTimer.Enabled()) d_.lanTimer.SetEnabled(true);
}

void ReportSchedule::StopLANReportTimer() { d_.lanTimer.SetEnabled(false); }

void ReportSchedule::DisableReportTimers() {
    StopMailReportTimer();
    StopLANReportTimer();
}

void ReportSchedule::RestartReportTimers() {
    StartMailReportTimer();
    StartLANReportTimer();
}

void ReportSchedule::SMTPReportsCBClick() { d_.smtpTimer.SetEnabled(d_.live.SMTPReports); }
void ReportSchedule::LANReportsCBClick() { d_.lanTimer.SetEnabled(d_.live.LANReports); }

// The timer keeps its count when the period is the one it has.
void ReportSchedule::SMTPDelayUDClick() { d_.smtpTimer.SetInterval(static_cast<uint32_t>(d_.live.SMTPDelay) * kMinuteMs); }
void ReportSchedule::LANDelayUDClick() { d_.lanTimer.SetInterval(static_cast<uint32_t>(d_.live.LANDelay) * kMinuteMs); }

void ReportSchedule::MailStatusReport() {
    const std::string when = DateTimeText(d_.clock.Now(), d_.dateFormat);
    d_.warnings.SendMail(d_.live, ReportSubject(when), ComposeReportText(*d_.shown.Current(), when));
}

void ReportSchedule::PushTest(PushChannel) {}

void ReportSchedule::LANStatusReport() {
    const std::string when = DateTimeText(d_.clock.Now(), d_.dateFormat);
    d_.warnings.SendLANMessage(d_.live, ComposeReportText(*d_.shown.Current(), when));
}

}  // namespace velt
