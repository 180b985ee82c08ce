#include "app/monitor_engine.h"

#include "app/command_line.h"
#include "app/system_identity.h"
#include "core/link_watch.h"
#include "reports/power_figures.h"
#include "reports/status_json.h"
#include "status/battery_charge.h"

namespace velt {

namespace {

constexpr uint32_t kStartTimerMs = 100;
// A service that found no UPS tries again as a lost link is reconnected.
constexpr uint32_t kServiceRetryMs = LinkWatch::kReconnectSpacingMs;

}  // namespace

MonitorEngine::MonitorEngine(MonitorViews views, MonitorSystem sys)
    : views_(views),
      sys_(sys),
      warnings_(sys.host == MonitorHost::ServiceView ? static_cast<IWarningSender&>(noWarnings_) : sys.warnings),
      osMajorVersion_(sys.system.OsVersion().major),
      portDialog_(sys.comPortDialog, sys.lock),
      batteryView_(views.battery, sys.lock),
      battery_(live_, batteryView_, sys.decimalSeparator),
      detector_({link_, live_, sys.sleeper, *this, views.feedback, views.detection, battery_,
                 [this] { LoadBatterySettings(Settings()); },
                 [this] { return std::make_pair(discovery_.VidText(), discovery_.PidText()); },
                 sys.decimalSeparator}),
      discovery_({link_, sys.lock, sys.hid, *this, views.feedback, views.hidList, accepted_,
                  [this] { return sys_.startTimer.Enabled() || selected_.Remote(); },
                  [this] { return DetectOnArrival(); },
                  [this] { StartMonitoring(); }, [this] { StopMonitoring(); }}),
      source_({link_, sys.lock, discovery_, detector_, battery_, sys.serialPorts, portDialog_, sys.sleeper, *this,
               sys.decimalSeparator}),
      nutSource_({live_, views.feedback, views.detection, views.upsTests, *this, sys.clock}),
      selected_(source_, nutSource_),
      reports_({sys.smtpReportsTimer, sys.lanReportsTimer, live_, warnings_, shown_, sys.clock, sys.dateFormat,
                [this] { return StatusJsonNow(); }}),
      servers_({live_, shown_, views.main, sys.store, sys.post, *this, sys.pump, sys.sleeper, sys.clock,
                sys.dateFormat, sys.system.ProgramFileVersion(), [this] { PublishForcedShutdown(); },
                // tests_ is built by the time a client's command runs.
                [this](const NutInstantCommand& c, const std::string& bytes) {
                    return tests_.RunUPSTestCommand(c.button, bytes);
                },
                sys.host == MonitorHost::Service, sys.host == MonitorHost::ServiceView, sys.historyFile}),
      actions_({sys.power, live_, sys.lock, *this, reports_, selected_.Poller(), *this, sys.pump, sys.sleeper,
                osMajorVersion_}),
      // The fit is taken up by the next reply's publish.
      history_({sys.clock, sys.post, *this, [this](std::vector<Discharge> d) { lessons_.Set(d); }}),
      delayTimer_(sys.delayTimer, sys.clock),
      policy_({delayTimer_, live_, actions_, link_, sys.lock, sys.sleeper, *this, sys.launcher, sys.pump,
               &servers_.Peers(), sys.systemEvents, sys.host == MonitorHost::ServiceView,
               [this](const std::string& action) { history_.OnPowerAction(action); }}),
      evaluation_({views.status, views.feedback, warnings_, battery_, policy_, live_, sys.clock, sys.dateFormat,
                   [this](const std::string& m, const LocalDateTime& t) { AddLogLine(m, t); },
                   [this] { return selected_.Identity(); }, sys.decimalSeparator, sys.systemEvents,
                   [this] { return StatusJsonNow(); }}),
      tests_({link_, sys.lock, sys.sleeper, *this, views.upsTests, sys.testTForm,
              [this](UPSTestButton b) { return SendRemoteCommand(b); }}),
      intake_({selected_, views.main, views.battery, battery_, live_, evaluation_, policy_, sys.clock, sys.dateFormat,
               sys.pump, *this, history_, [this] { Publish(); }}),
      wake_({live_, sys.clock, *this, sys.post, datagrams_, sys.host != MonitorHost::ServiceView}) {}

// The servers read what the rest keeps, and the worker hands its replies to
// the parts below: both end before any of them goes.
MonitorEngine::~MonitorEngine() {
    servers_.Stop();
    for (IReadingSource* source : {static_cast<IReadingSource*>(&source_), static_cast<IReadingSource*>(&nutSource_)}) {
        source->Poller().Terminate();
        source->Poller().Join();
    }
}

SettingsContext MonitorEngine::Settings() {
    return {sys_.store, live_, link_, sys_.lock, battery_, *this, osMajorVersion_, programPath_};
}

void MonitorEngine::AddLogLine(const std::string& message) { AddLogLine(message, sys_.clock.Now()); }

// A window watching the service shows the service's log, not its own lines.
void MonitorEngine::AddLogLine(const std::string& message, const LocalDateTime& when) {
    if (WatchingService()) return;
    views_.main.AppendLogLine(log_.Add(message, when, sys_.dateFormat));
}

void MonitorEngine::ShowServiceLogLine(const std::string& line) { views_.main.AppendLogLine(log_.AddLine(line)); }

// ---- start-up and closing

bool MonitorEngine::Start(const std::vector<std::string>& params) {
    const OsVersionRecord os = sys_.system.OsVersion();
    const std::string osLabel = ComposeOsLabel(os, sys_.system.NativeProcessorArchitecture());
    views_.main.SetForceOptionsEnabled(ForceOptionsSupported(os.major));
    if (!MeetsSystemRequirement(os)) return false;
    views_.main.ShowAbout(osLabel, sys_.system.ProgramFileVersion());
    sys_.system.SetProcessHighPriority();
    sys_.system.SetCurrentThreadPriority(ThreadPriority::Normal);
    // The autostart entry is the user's window's; the service and its view leave it.
    if (sys_.host == MonitorHost::Window) programPath_ = sys_.system.ProgramPath();
    actions_.RegisterPowerSchemeNotification();
    views_.main.ApplyPowerAvailability(actions_.PowerActionsAvailable());
    live_.LANServer = sys_.system.ComputerName();
    selected_.SetRefreshInterval(kDefaultRefreshMs);
    LoadAll();
    SelectSource();
    const CommandLineOptions options = ParseCommandLine(params);
    accepted_ = {options.extraVid, options.extraPid};
    if (options.showAbout) views_.main.ShowAboutBox();
    // A window watching the service shows the service's history, never writes it.
    if (!WatchingService()) history_.Start(sys_.historyFile, live_.HistoryDays);
    warnings_.UseSettings(live_);
    StartWorker();
    sys_.startTimer.SetInterval(kStartTimerMs);
    sys_.startTimer.SetEnabled(true);
    return true;
}

// The saved settings load "HTTP Server" before the page's user and password:
// the server starts once they are all in, never open before.
void MonitorEngine::LoadAll() {
    servers_.BeginLoad();
    LoadSettings(Settings());
    servers_.EndLoad();
    wake_.LoadHosts();
    views_.main.ShowSettings(live_);
    views_.main.ApplyPowerAvailability(actions_.PowerActionsAvailable());
    LoadSerialSettings(Settings());
}

// Only the selected source's worker runs: an idle one costs a thread's
// stack and its wake-ups. The server's starts with its first connect.
void MonitorEngine::StartWorker() {
    workerHooks_ = {[this] { sys_.system.SetCurrentThreadPriority(ThreadPriority::Idle); },
                    [this](WorkerMessage m) { sys_.mainThread.HandOff(m); }};
    nutSource_.SetWorkerHooks(sys_.workerSleeper, *workerHooks_);
    StartLocalWorker();
    DataLockGuard guard(sys_.lock);
    link_.HidDevice = nullptr;
}

void MonitorEngine::StartLocalWorker() {
    if (workerHooks_ && !selected_.Remote() && source_.Poller().Finished())
        source_.StartPolling(sys_.workerSleeper, sys_.clock, *workerHooks_);
}

void MonitorEngine::StartTimerTimer() {
    sys_.startTimer.SetEnabled(false);
    StartAExecute();
}

void MonitorEngine::Close() {
    reports_.DisableReportTimers();
    servers_.Stop();
    nutSource_.StopWorker(sys_.pump, sys_.sleeper);  // with its LOGOUT
    history_.Stop();
    if (!source_.StopPolling(sys_.pump, sys_.sleeper)) {
        // The worker is stuck in an exchange and may hold the data lock for
        // good: leave the link and the port alone rather than wait for it. The
        // process ends after this, so the link's values in the registry stay.
        velt::SaveSettings(Settings(), LinkAccess::Unreachable);
        return;
    }
    {
        DataLockGuard guard(sys_.lock);
        if (link_.ComActive && link_.ComPort != 0 && link_.ComHandle) link_.ComHandle->SetDtr(false);
        link_.ComHandle.reset();
    }
    // The service's settings change only by the Save button.
    if (!WatchingService()) SaveSettings();
}

void MonitorEngine::SaveSettings() {
    if (!WatchingService()) {
        warnings_.UseSettings(live_);
        velt::SaveSettings(Settings());
        return;
    }
    if (!velt::SaveSettings(Settings(), LinkAccess::Unreachable)) {
        views_.main.ShowError("The service's settings were not saved: changing them needs administrator rights");
        return;
    }
    if (sys_.serviceSettingsSaved) sys_.serviceSettingsSaved();
}

// ---- connecting and monitoring

// Start stays enabled (it connects again from scratch); Stop follows the
// monitoring state, whoever changed it: the buttons, a USB arrival or removal,
// a failed connect.
void MonitorEngine::StartAExecute() {
    DataLockGuard guard(sys_.lock);
    if (selected_.Connect()) {
        retryingStart_ = false;
        StartMonitoring();
        return;
    }
    views_.main.SetStopEnabled(false);
    PublishNotFound();
    if (sys_.host == MonitorHost::Service) RetryStartLater();
}

// Nobody is there to press Start: a UPS switched on, plugged in or given its
// port after the service started is found on a later try.
void MonitorEngine::RetryStartLater() {
    if (!retryingStart_) AddLogLine("No UPS found: the service tries again every 30 s");
    retryingStart_ = true;
    sys_.startTimer.SetInterval(kServiceRetryMs);
    sys_.startTimer.SetEnabled(true);
}

// Data lock held. A UPS plugged in that does not answer is no UPS found.
bool MonitorEngine::DetectOnArrival() {
    if (detector_.DetectProtocol(DetectionStart::Arrival)) return true;
    PublishNotFound();
    return false;
}

void MonitorEngine::StartMonitoring() {
    intake_.ResetWatch();
    reports_.RestartReportTimers();
    AddLogLine("Start Monitoring");
    views_.main.SetStopEnabled(true);
    // Found, with its identity, before its first reply; that reply is its own.
    intake_.ForgetReading();
    DataLockGuard guard(sys_.lock);
    Publish();
}

void MonitorEngine::StopMonitoring() {
    intake_.ResetWatch();
    reports_.DisableReportTimers();
    AddLogLine("Stop Monitoring");
    views_.main.SetStartEnabled(true);
    views_.main.SetStopEnabled(false);
    DataLockGuard guard(sys_.lock);
    Publish();
}

void MonitorEngine::StopAExecute() {
    selected_.StopPolling();
    StopMonitoring();
}

// As at the start; a changed source restarts monitoring from it.
void MonitorEngine::ReloadSettings() {
    const int32_t source = live_.UPSSource;
    LoadAll();
    history_.SetHistoryDays(live_.HistoryDays);
    warnings_.UseSettings(live_);
    RefreshUDClick();
    SettingsChanged();
    if (live_.UPSSource != source) UPSSourceChanged();
}

void MonitorEngine::UPSSourceChanged() {
    StopAExecute();
    SelectSource();
    StartAExecute();
}

// The battery thresholds are the local detection's to load; read from a
// server, they are loaded here, so a save keeps them as stored. Back to the
// local UPS, the server's worker ends (with its LOGOUT) and every button is
// offered again until its UPS echoes one.
void MonitorEngine::SelectSource() {
    const bool remote = live_.UPSSource == kUPSSourceNut || WatchingService();
    if (WatchingService()) nutSource_.WatchService(ServiceTarget());
    selected_.Select(remote);
    nutSource_.SetRefreshInterval(static_cast<uint32_t>(live_.RefreshInterval) * 1000u);
    if (remote) {
        source_.StopPolling(sys_.pump, sys_.sleeper);
        LoadBatterySettings(Settings());
        return;
    }
    nutSource_.StopWorker(sys_.pump, sys_.sleeper);
    StartLocalWorker();
    for (UPSTestButton b : {UPSTestButton::Test10s, UPSTestButton::TestT, UPSTestButton::TestLow,
                            UPSTestButton::CancelTest, UPSTestButton::Beeper})
        views_.upsTests.SetUPSTestButtonEnabled(b, true);
}

// The service serves NUT on this computer always; the window reads it with
// the server's own user, without LOGIN, so the service's shutdown never waits for it.
NutTarget MonitorEngine::ServiceTarget() const {
    NutTarget target;
    target.host = "127.0.0.1";
    target.port = NutPortNumber(live_.NUTPort).value_or(3493);
    target.ups = live_.NUTUPSName;  // made usable by the load, as the service's server does
    target.user = live_.NUTUser;
    target.password = live_.NUTPassword;
    target.attach = false;
    return target;
}

// A UPS on a NUT server gets the button's instant command; false for the local one.
bool MonitorEngine::SendRemoteCommand(UPSTestButton button) {
    if (!selected_.Remote()) return false;
    if (const auto command = NutCommandOf(button)) nutSource_.SendCommand(*command);
    return true;
}

void MonitorEngine::RefreshUDClick() {
    selected_.SetRefreshInterval(static_cast<uint32_t>(live_.RefreshInterval) * 1000u);
}

// ---- what other threads read

// Published after every change of what is shown, each evaluated reply among
// them: the wake-up follows the mains as the evaluation saw them.
void MonitorEngine::Publish() {
    PublishAs(selected_.Found());
    wake_.Observe(evaluation_.PowerFailState(), battery_.Charge(), policy_.Acting() || policy_.PowerOffRequested());
}

void MonitorEngine::PublishAs(bool found) {
    ShownStatus shown = ComposeShownStatus(Parts(found));
    views_.status.ShowPower(shown.live.power, shown.replied && shown.reading.PowerFail);
    shown_.Publish(std::move(shown));
}

// A search that found nothing: the readings before it belong to no UPS now.
void MonitorEngine::PublishNotFound() {
    intake_.ForgetReading();
    PublishAs(false);
}

// FSD changes on its own (a primary client, the peers' shutdown); the rest of
// what is published stays as it was. Main thread.
void MonitorEngine::PublishForcedShutdown() {
    ShownStatus shown = *shown_.Current();
    shown.live.forcedShutdown = servers_.ForcedShutdown();
    shown_.Publish(std::move(shown));
}

// What the snapshot is composed from.
std::string MonitorEngine::StatusJsonNow() const {
    const auto shown = shown_.Current();
    return shown ? StatusJson(*shown, live_.NUTUPSName) : std::string();
}

ShownStatusParts MonitorEngine::Parts(bool upsFound) const {
    ShownStatusParts parts;
    parts.reading = evaluation_.Shown();
    parts.replied = intake_.Replied();
    parts.identity = selected_.Identity();
    parts.upsFound = upsFound;
    parts.monitoring = selected_.Monitoring();
    parts.linkResponding = intake_.Responding();
    parts.device = selected_.Device();
    parts.nominalBatteryVolts = battery_.NominalBatteryVoltage();
    parts.chargePercent = battery_.Charge();
    parts.emptyTenths = live_.EmptyVoltage;
    parts.fullTenths = live_.FullVoltage;
    parts.forcedShutdown = servers_.ForcedShutdown();
    parts.countdownRemainingMs = delayTimer_.RemainingMs();
    parts.alertsWaiting = warnings_.AlertsWaiting();
    parts.power = PowerFigures(lessons_.Fit(), live_,
                               {parts.chargePercent, parts.reading.OPCurrent.value, parts.nominalBatteryVolts});
    return parts;
}

// ---- settings effects that reach the window

// The fields follow the box; the credentials are checked whenever they are
// stored, box or not, as the page has always done.
void MonitorEngine::HTTPAuthCBClick() { views_.main.SetHttpCredentialsEditable(live_.HTTPAuthentication); }
void MonitorEngine::ShowExternalProgram(const ExternalProgramLabel& label) { views_.main.ShowExternalProgram(label); }
void MonitorEngine::ShowSettingsError(const std::string& message) { views_.main.ShowError(message); }

}  // namespace velt
