#pragma once
// TMainForm's logic: owns the link, the live settings, the event log, the
// worker and every part of the monitor, and carries the handlers the window
// forwards to it. Portable: the window is reached only through the views and
// the operating system through the seams in sys/.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs_outside_lock.h"
#include "app/main_thread_log.h"
#include "app/main_view.h"
#include "app/nut_service.h"
#include "app/page_source.h"
#include "app/settings_io.h"
#include "core/feedback.h"
#include "core/ups_settings.h"
#include "core/com_port.h"
#include "core/detection.h"
#include "core/event_sink.h"
#include "core/hid_discovery.h"
#include "core/link_watch.h"
#include "core/published.h"
#include "core/read_data.h"
#include "net/http_page_server.h"
#include "core/ups_link.h"
#include "reports/event_log.h"
#include "status/warnings.h"
#include "status/battery_charge.h"
#include "status/power_actions.h"
#include "status/power_fail_policy.h"
#include "status/shown_status.h"
#include "status/status_evaluation.h"
#include "status/ups_tests.h"
#include "sys/clock.h"
#include "sys/data_lock.h"
#include "sys/file_writer.h"
#include "sys/hid_controller.h"
#include "sys/deadline_timer.h"
#include "sys/main_thread_dispatcher.h"
#include "sys/main_thread_post.h"
#include "sys/power_services.h"
#include "sys/process_launcher.h"
#include "sys/serial_port.h"
#include "sys/settings_store.h"
#include "sys/system_info.h"
#include "sys/timer.h"

namespace velt {

// The window's views of the form, one per part; the window passes itself for each.
struct MainFormViews {
    IMainView& main;
    IFeedback& feedback;
    IDetectionView& detection;
    IHidListView& hidList;
    IStatusView& status;
    IBatteryView& battery;
    IUPSTestView& upsTests;
};

// The operating system as the form uses it. All references outlive the form.
struct MainFormSystem {
    IDataLock& lock;
    ISleeper& sleeper;        // the main thread's pauses
    ISleeper& workerSleeper;  // the worker's own pauses
    const IClock& clock;
    const IDateTimeFormat& dateFormat;
    ISerialPortFactory& serialPorts;
    IComPortDialog& comPortDialog;
    IFileWriter& files;
    IHidController& hid;
    ISettingsStore& store;
    IPowerServices& power;
    IProcessLauncher& launcher;
    IMessagePump& pump;
    IMainThreadDispatcher& mainThread;  // the worker's hand-off of each reply
    ITestTForm& testTForm;
    ISystemInfo& system;  // also lowers the worker's own priority, on its thread
    IWarningSender& warnings;
    IMainThreadPost& post;  // for what the network servers hand to the main thread
    ITimer& startTimer;
    ITimer& delayTimer;
    ITimer& smtpReportsTimer;
    ITimer& lanReportsTimer;
    char decimalSeparator = '.';
};

class TMainForm : public ILogSink,
                  public ISettingsEffects,
                  public IPollingWorker,
                  public IReportTimers,
                  public IExitRequest {
public:
    TMainForm(MainFormViews views, MainFormSystem sys);
    ~TMainForm() override;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    TUPSLink& Link() { return link_; }
    TUPSSettings& Live() { return live_; }
    const TEventLog& EventLog() const { return log_; }
    TBatteryCharge& Battery() { return battery_; }
    TPowerActions& PowerActions() { return actions_; }
    TPowerFailPolicy& PowerFailPolicy() { return policy_; }
    TUPSTests& UPSTests() { return tests_; }
    THidDiscovery& HidDiscovery() { return discovery_; }
    bool ExitRequested() const { return exitRequested_; }
    // What the window shows, for readers on other threads.
    const TShownStatusPublisher& Shown() const { return shown_; }
    const THttpPageServer& PageServer() const { return pageServer_; }
    const TNutServer& NutServer() const { return nut_.Server(); }
    // The window calls it after every change the user makes to a setting:
    // the page server reads the settings from what is published here.
    void SettingsChanged();

    // Start-up after the single-instance check: false when the system does not
    // qualify and the program must end silently. Starts the worker.
    bool FormCreate(const std::vector<std::string>& params);
    void StartTimerTimer();

    // Closing: true when the window may close; otherwise it is hidden.
    bool FormCloseQuery();
    void ExitAExecute();
    bool WMQueryEndSession();  // the answer: always yes
    // Timers, worker, DTR and port, settings. The worker wait lets sent
    // messages through, so the worker's hand-off cannot deadlock it.
    void FormClose();

    void AddLogLine(const std::string& message) override;
    void AddLogLine(const std::string& message, const LocalDateTime& when);

    void StartAExecute();
    void StopAExecute();
    void StartMonitoring();
    void StopMonitoring();
    void RefreshUDClick();

    // WM_USER from the worker: wParam 0 a stored reply, 1 a failed worker, 2 a
    // poll that got no reply.
    void OnWorkerMessage(unsigned wParam);
    void ProcessUPSStatus();

    void ClearLogSBClick();
    void SaveLogSBClick();
    void SaveSetSBClick();
    void ExSBClick();

    void StartMailReportTimer();
    void StopMailReportTimer();
    void StartLANReportTimer();
    void StopLANReportTimer();
    void SMTPDelayUDClick();  // the report period follows "SMTP Delay"
    void LANDelayUDClick();
    void SendSMTPRepSBClick();  // one e-mail report at once
    void LANRepSBClick();       // one LAN report at once
    void SMTPReportsTimerTimer();
    void LANReportsTimerTimer();
    // The status report, composed now from what the window shows, handed to a
    // sender; neither looks at whether reports are on or a UPS was found.
    void MailStatusReport();
    void LANStatusReport();

    // ISettingsEffects
    void SMTPReportsCBClick() override;
    void LANReportsCBClick() override;
    void HTTPCBClick() override;
    void HTTPAuthCBClick() override;
    void NUTCBClick();
    void ShowExternalProgram(const ExternalProgramLabel& label) override;
    void ShowSettingsError(const std::string& message) override;

    // IPollingWorker (the shutdown action stops the worker through these)
    void Terminate() override;
    bool Finished() const override;
    void Free() override;

    // IReportTimers, IExitRequest
    void DisableReportTimers() override;
    void RestartReportTimers() override;
    void SetExitRequested() override { exitRequested_ = true; }

private:
    bool ConnectUps();
    void ShowSpinnerStep();
    void EvaluateGuarded(const TUPSStatus& status);
    void OnPollOutcome(bool answered);
    void ShowReadingsStale();
    void PublishShown(bool upsFound);
    void PublishNotFound();
    void PublishForcedShutdown();
    bool DetectOnArrival();
    TShownDevice Device() const;
    ShownStatusParts LiveReadings(bool upsFound) const;
    void KeepDeviceId();
    // A stored "NUT UPS Name" that clients could not use gives way to "ups".
    void KeepUsableUpsName();
    void ReconnectUps();
    SettingsContext Settings();
    // False when the worker did not end within its bounded wait.
    bool StopWorker();
    UpsIdentityText Identity() const;

    MainFormViews views_;
    MainFormSystem sys_;
    TUPSSettings live_;
    TUPSLink link_;
    TEventLog log_;
    AcceptedIds accepted_;
    uint32_t osMajorVersion_ = 5;
    std::string programPath_;
    bool exitRequested_ = false;
    bool loadingSettings_ = false, httpClickDuringLoad_ = false;
    int spinnerStep_ = 0;
    std::string evaluationFailure_;
    TLinkWatch watch_;
    TShownStatusPublisher shown_;
    TPublished<TUPSSettings> settingsShown_;

    TComPortDialogOutsideLock portDialog_;
    TBatteryViewOutsideLock batteryView_;
    TBatteryCharge battery_;
    TDetector detector_;
    THidDiscovery discovery_;
    TPowerActions actions_;
    TDeadlineTimer delayTimer_;
    TPowerFailPolicy policy_;
    TStatusEvaluation evaluation_;
    TUPSTests tests_;
    std::unique_ptr<TReadData> worker_;
    bool replied_ = false;  // a reply of the UPS monitored now was understood
    TPageSource pageSource_;
    TMainThreadLog pageServerLog_;
    THttpPageServer pageServer_;  // the servers last: they stop before what they read goes
    TNutService nut_;
};

}  // namespace velt
