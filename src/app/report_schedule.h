#pragma once
// The periodic status reports: the e-mail and LAN report timers, their
// periods and restarts, and the report each tick (or button) sends.
#include <functional>
#include <string>

#include "core/ups_settings.h"
#include "status/power_actions.h"
#include "status/shown_status.h"
#include "status/warnings.h"
#include "sys/clock.h"
#include "sys/date_time_format.h"
#include "sys/timer.h"

namespace velt {

struct ReportScheduleDeps {
    ITimer& smtpTimer;
    ITimer& lanTimer;
    const TUPSSettings& live;
    IWarningSender& warnings;
    const ShownStatusPublisher& shown;
    const IClock& clock;
    const IDateTimeFormat& dateFormat;
    // The snapshot as /status.json gives it, for a webhook's report.
    std::function<std::string()> statusJson;
};

class ReportSchedule final : public IReportTimers {
public:
    explicit ReportSchedule(ReportScheduleDeps deps);

    // One test alert to `channel` at once (its "Send test" button).
    void PushTest(PushChannel channel);
    // The e-mail report timer's tick: the e-mail report and the webhook's,
    // each when its box is ticked.
    void ReportTimerTick();

    void StartMailReportTimer();
    void StopMailReportTimer();
    void StartLANReportTimer();
    void StopLANReportTimer();

    // IReportTimers: both at once, as monitoring and the power events want.
    void DisableReportTimers() override;
    void RestartReportTimers() override;

    void SMTPReportsCBClick();  // the timer follows its box, and "Webhook Reports"
    void LANReportsCBClick();
    void SMTPDelayUDClick();  // the report period follows "SMTP Delay"
    void LANDelayUDClick();

    // The status report, composed now from what the window shows, handed to a
    // sender; neither looks at whether reports are on or a UPS was found.
    void MailStatusReport();
    void LANStatusReport();

private:
    bool ReportTimerWanted() const;
    PushAlert ReportAlert(AlertKind kind, const std::string& subjectPrefix) const;

    ReportScheduleDeps d_;
};

}  // namespace velt
