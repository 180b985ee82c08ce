#include "ui/win32/engine_timers.h"

#include "ui/win32/window_messages.h"

namespace velt::ui {

bool RunEngineTimer(SystemSeams& seams, MonitorEngine& engine, UINT_PTR id) {
    switch (id) {
        case kStartTimerId:
            if (seams.startTimer.Enabled()) engine.StartTimerTimer();
            return true;
        case kDelayTimerId:
            if (seams.delayTimer.Enabled()) engine.PowerFailPolicy().DelayTimerTimer();
            return true;
        case kSMTPReportsTimerId:
            if (seams.smtpReportsTimer.Enabled()) engine.Reports().MailStatusReport();
            return true;
        case kLANReportsTimerId:
            if (seams.lanReportsTimer.Enabled()) engine.Reports().LANStatusReport();
            return true;
        default: return false;
    }
}

}  // namespace velt::ui
