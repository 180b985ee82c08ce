#pragma once
// TMainForm: the window's side of the monitor. It builds the engine with the
// window's views and carries the handlers the window calls, under their
// names; the few that are the window's own (closing, the log file, the
// external program's dialog) are here, the rest go to the engine.
#include <optional>
#include <string>
#include <vector>

#include "app/monitor_engine.h"

namespace velt {

class TMainForm {
public:
    TMainForm(MonitorViews views, MonitorSystem sys) : views_(views), sys_(sys), engine_(views, sys) {}
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    MonitorEngine& Engine() { return engine_; }
    TUPSLink& Link() { return engine_.Link(); }
    TUPSSettings& Live() { return engine_.Live(); }
    const velt::EventLog& EventLog() { return engine_.EventLog(); }
    BatteryCharge& Battery() { return engine_.Battery(); }
    velt::PowerActions& PowerActions() { return engine_.PowerActions(); }
    velt::PowerFailPolicy& PowerFailPolicy() { return engine_.PowerFailPolicy(); }
    velt::UPSTests& UPSTests() { return engine_.UPSTests(); }
    velt::HidDiscovery& HidDiscovery() { return engine_.HidDiscovery(); }
    bool ExitRequested() const { return engine_.ExitRequested(); }
    const ShownStatusPublisher& Shown() const { return engine_.Shown(); }
    const HttpPageServer& PageServer() { return engine_.Servers().PageServer(); }
    const velt::NutServer& NutServer() { return engine_.Servers().NutServer(); }
    // After every change the user makes to a setting.
    void SettingsChanged() { engine_.SettingsChanged(); }

    bool FormCreate(const std::vector<std::string>& params) { return engine_.Start(params); }
    void StartTimerTimer() { engine_.StartTimerTimer(); }
    // Closing: true when the window may close; otherwise it is hidden.
    bool FormCloseQuery();
    void ExitAExecute();
    bool WMQueryEndSession();  // the answer: always yes
    void FormClose() { engine_.Close(); }
    bool Finished() { return engine_.Worker().Finished(); }

    void AddLogLine(const std::string& message) { engine_.AddLogLine(message); }
    void StartAExecute() { engine_.StartAExecute(); }
    void StopAExecute() { engine_.StopAExecute(); }
    void RefreshUDClick() { engine_.RefreshUDClick(); }
    void UPSSourceChanged() { engine_.UPSSourceChanged(); }
    void OnWorkerMessage(WorkerMessage message) { engine_.OnWorkerMessage(message); }

    void ClearLogSBClick();
    void SaveLogSBClick();
    void SaveSetSBClick() { engine_.SaveSettings(); }
    void ExSBClick();

    void SMTPDelayUDClick() { engine_.Reports().SMTPDelayUDClick(); }
    void LANDelayUDClick() { engine_.Reports().LANDelayUDClick(); }
    void SendSMTPRepSBClick() { engine_.Reports().MailStatusReport(); }  // one e-mail report at once
    void LANRepSBClick() { engine_.Reports().LANStatusReport(); }        // one LAN report at once
    void WebhookTestSBClick() { engine_.Reports().PushTest(PushChannel::Webhook); }
    void NtfyTestSBClick() { engine_.Reports().PushTest(PushChannel::Ntfy); }
    void SMTPReportsTimerTimer() { engine_.Reports().ReportTimerTick(); }
    void LANReportsTimerTimer() { engine_.Reports().LANStatusReport(); }
    void SMTPReportsCBClick() { engine_.SMTPReportsCBClick(); }
    void LANReportsCBClick() { engine_.LANReportsCBClick(); }
    void HTTPCBClick() { engine_.HTTPCBClick(); }
    void HTTPAuthCBClick() { engine_.HTTPAuthCBClick(); }
    void NUTCBClick() { engine_.Servers().NUTCBClick(); }

private:
    MonitorViews views_;
    MonitorSystem sys_;
    MonitorEngine engine_;
};

}  // namespace velt
