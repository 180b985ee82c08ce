#pragma once
// The monitor itself: the link and its worker, the evaluation, the countdown
// and power actions, the UPS tests, the reports and the network servers,
// built from the operating system's seams and the views it shows through.
// It needs no window: without one it runs with the silent views.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs_outside_lock.h"
#include "app/history_recorder.h"
#include "app/main_view.h"
#include "app/network_servers.h"
#include "app/nut_source.h"
#include "app/reply_intake.h"
#include "app/report_schedule.h"
#include "app/selected_source.h"
#include "app/settings_io.h"
#include "app/ups_link_source.h"
#include "app/wake_on_lan.h"
#include "core/detection.h"
#include "core/event_sink.h"
#include "core/feedback.h"
#include "core/hid_discovery.h"
#include "core/ups_link.h"
#include "core/ups_settings.h"
#include "net/udp_datagram_sender.h"
#include "reports/event_log.h"
#include "reports/runtime_estimate.h"
#include "status/battery_charge.h"
#include "status/power_actions.h"
#include "status/power_fail_policy.h"
#include "status/shown_status.h"
#include "status/status_evaluation.h"
#include "status/ups_tests.h"
#include "sys/clock.h"
#include "sys/data_lock.h"
#include "sys/deadline_timer.h"
#include "sys/file_writer.h"
#include "sys/hid_controller.h"
#include "sys/main_thread_dispatcher.h"
#include "sys/main_thread_post.h"
#include "sys/power_services.h"
#include "sys/process_launcher.h"
#include "sys/serial_port.h"
#include "sys/settings_store.h"
#include "sys/system_event_log.h"
#include "sys/system_info.h"
#include "sys/timer.h"

namespace velt {

// What the monitor shows through, one view per part.
struct MonitorViews {
    IMainView& main;
    IFeedback& feedback;
    IDetectionView& detection;
    IHidListView& hidList;
    IStatusView& status;
    IBatteryView& battery;
    IUPSTestView& upsTests;
};

// Who runs the monitor.
enum class MonitorHost {
    Window,       // a logged-on user's window, with its own link to the UPS
    Service,      // the service: nobody to ask; NUT served on this computer always
    ServiceView,  // a window while the service runs: it watches the service and acts on nothing
};

// The operating system as the monitor uses it. All references outlive it.
struct MonitorSystem {
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
    MonitorHost host = MonitorHost::Window;
    // A window watching the service: tells the service its settings changed.
    std::function<void()> serviceSettingsSaved = {};
    // The service's: power failures, returns and actions go there too. None for a window.
    ISystemEventLog* systemEvents = nullptr;
    // The history's file: written by a window and the service, shown by a
    // window watching the service. Empty: no history.
    std::filesystem::path historyFile = {};
};

class MonitorEngine final : public ILogSink, public ISettingsEffects, public IExitRequest {
public:
    MonitorEngine(MonitorViews views, MonitorSystem sys);
    ~MonitorEngine() override;
    MonitorEngine(const MonitorEngine&) = delete;
    MonitorEngine& operator=(const MonitorEngine&) = delete;

    // Start-up: false when the system does not qualify and the program must
    // end silently. Loads the settings and starts the worker; the first
    // connect follows on the start timer.
    bool Start(const std::vector<std::string>& params);
    void StartTimerTimer();
    // Servers, timers, worker, DTR and port, then the settings saved. The
    // worker wait lets sent messages through, so its hand-off cannot deadlock it.
    void Close();

    void AddLogLine(const std::string& message) override;
    void AddLogLine(const std::string& message, const LocalDateTime& when);

    void StartAExecute();
    void StopAExecute();
    void StartMonitoring();
    void StopMonitoring();
    void RefreshUDClick();
    // The "Source:" drop-down changed: monitoring starts again from the new source.
    void UPSSourceChanged();
    void OnWorkerMessage(WorkerMessage message) { intake_.OnWorkerMessage(message); }
    // The Save button's: a window watching the service saves the service's
    // settings (its link's values as the service keeps them) and tells it.
    void SaveSettings();
    // A line of the service's log file, for the log page of a window watching it.
    void ShowServiceLogLine(const std::string& line);
    void SettingsChanged() { servers_.SettingsChanged(); }
    // The stored settings again (a service told PARAMCHANGE).
    void ReloadSettings();
    // True while the window watches the service instead of a link of its own.
    bool WatchingService() const { return sys_.host == MonitorHost::ServiceView; }
    // The history the window's page shows; empty for none.
    const std::filesystem::path& HistoryFile() const { return sys_.historyFile; }

    // ISettingsEffects
    void SMTPReportsCBClick() override { reports_.SMTPReportsCBClick(); }
    void LANReportsCBClick() override { reports_.LANReportsCBClick(); }
    void HTTPCBClick() override { servers_.HTTPCBClick(); }
    void HTTPAuthCBClick() override;
    void ShowExternalProgram(const ExternalProgramLabel& label) override;
    void ShowSettingsError(const std::string& message) override;
    // IExitRequest
    void SetExitRequested() override { exitRequested_ = true; }
    bool ExitRequested() const { return exitRequested_; }

    TUPSLink& Link() { return link_; }
    TUPSSettings& Live() { return live_; }
    velt::EventLog& EventLog() { return log_; }
    BatteryCharge& Battery() { return battery_; }
    velt::PowerActions& PowerActions() { return actions_; }
    velt::PowerFailPolicy& PowerFailPolicy() { return policy_; }
    velt::UPSTests& UPSTests() { return tests_; }
    velt::HidDiscovery& HidDiscovery() { return discovery_; }
    ReportSchedule& Reports() { return reports_; }
    NetworkServers& Servers() { return servers_; }
    IPollingWorker& Worker() { return selected_.Poller(); }
    // What is shown, for readers on other threads.
    const ShownStatusPublisher& Shown() const { return shown_; }
    // Where the history's writer hands over the recorded discharges.
    RuntimeLessons& Lessons() { return lessons_; }

private:
    void LoadAll();
    void SelectSource();
    bool SendRemoteCommand(UPSTestButton button);
    void StartWorker();
    void StartLocalWorker();
    bool DetectOnArrival();
    void RetryStartLater();
    NutTarget ServiceTarget() const;
    void Publish();
    void PublishAs(bool found);
    void PublishNotFound();
    void PublishForcedShutdown();
    ShownStatusParts Parts(bool upsFound) const;
    // The snapshot as /status.json gives it, for a webhook.
    std::string StatusJsonNow() const;
    SettingsContext Settings();

    MonitorViews views_;
    MonitorSystem sys_;
    // A window watching the service sends nothing: the service does.
    struct NoWarnings final : IWarningSender {
        void SendMail(const TUPSSettings&, const std::string&, const std::string&) override {}
        void SendLANMessage(const TUPSSettings&, const std::string&) override {}
        void SendPush(const TUPSSettings&, const PushAlert&) override {}
        void SendPushTest(const TUPSSettings&, PushChannel, const PushAlert&) override {}
    } noWarnings_;
    IWarningSender& warnings_;
    TUPSSettings live_;
    TUPSLink link_;
    velt::EventLog log_;
    AcceptedIds accepted_;
    uint32_t osMajorVersion_ = 5;
    std::string programPath_;
    bool exitRequested_ = false;
    bool retryingStart_ = false;  // a service's failed start, logged once
    std::optional<ReadData::Hooks> workerHooks_;  // set once the workers may start
    ShownStatusPublisher shown_;
    RuntimeLessons lessons_;

    ComPortDialogOutsideLock portDialog_;
    BatteryViewOutsideLock batteryView_;
    BatteryCharge battery_;
    Detector detector_;
    velt::HidDiscovery discovery_;
    UpsLinkSource source_;
    NutSource nutSource_;
    SelectedSource selected_;
    ReportSchedule reports_;
    NetworkServers servers_;  // stopped first of all, in the destructor
    velt::PowerActions actions_;
    HistoryRecorder history_;
    DeadlineTimer delayTimer_;
    velt::PowerFailPolicy policy_;
    StatusEvaluation evaluation_;
    velt::UPSTests tests_;
    ReplyIntake intake_;
    UdpDatagramSender datagrams_;
    WakeOnLan wake_;  // after the sender: its send ends first
};

}  // namespace velt
