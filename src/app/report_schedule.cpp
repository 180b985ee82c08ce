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
    if (ReportTimerWanted() && !d_.smtpTimer.Enabled()) d_.smtpTimer.SetEnabled(true);
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

void ReportSchedule::SMTPReportsCBClick() { d_.smtpTimer.SetEnabled(ReportTimerWanted()); }

bool ReportSchedule::ReportTimerWanted() const { return d_.live.SMTPReports || d_.live.WebhookReports; }

void ReportSchedule::LANReportsCBClick() { d_.lanTimer.SetEnabled(d_.live.LANReports); }

// The timer keeps its count when the period is the one it has.
void ReportSchedule::SMTPDelayUDClick() { d_.smtpTimer.SetInterval(static_cast<uint32_t>(d_.live.SMTPDelay) * kMinuteMs); }
void ReportSchedule::LANDelayUDClick() { d_.lanTimer.SetInterval(static_cast<uint32_t>(d_.live.LANDelay) * kMinuteMs); }

void ReportSchedule::MailStatusReport() {
    const std::string when = DateTimeText(d_.clock.Now(), d_.dateFormat);
    d_.warnings.SendMail(d_.live, ReportSubject(when), ComposeReportText(*d_.shown.Current(), when));
}

void ReportSchedule::ReportTimerTick() {
    if (d_.live.SMTPReports) MailStatusReport();
    if (d_.live.WebhookReports) d_.warnings.SendPush(d_.live, ReportAlert(AlertKind::Report, {}));
}

void ReportSchedule::PushTest(PushChannel channel) {
    d_.warnings.SendPushTest(d_.live, channel, ReportAlert(AlertKind::Test, "Test - "));
}

// The report's texts as the e-mail has them, with the snapshot they come from.
PushAlert ReportSchedule::ReportAlert(AlertKind kind, const std::string& subjectPrefix) const {
    const LocalDateTime now = d_.clock.Now();
    const std::string when = DateTimeText(now, d_.dateFormat);
    const auto shown = d_.shown.Current();
    return {kind == AlertKind::Test ? "Test" : "Status Report", kind, subjectPrefix + ReportSubject(when),
            ComposeReportText(*shown, when), now, d_.statusJson()};
}

void ReportSchedule::LANStatusReport() {
    const std::string when = DateTimeText(d_.clock.Now(), d_.dateFormat);
    d_.warnings.SendLANMessage(d_.live, ComposeReportText(*d_.shown.Current(), when));
}

}  // namespace velt
