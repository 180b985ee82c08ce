#include "app/main_form.h"

#include <exception>
#include <random>
#include <utility>

#include "app/command_line.h"
#include "app/server_switch.h"
#include "net/nut_hosts.h"
#include "app/system_identity.h"
#include "core/nut_ups_name.h"
#include "reports/report_text.h"
#include "status/ups_status.h"

namespace velt {

namespace {

constexpr uint32_t kStartTimerMs = 100;
constexpr uint32_t kMinuteMs = 60000;
constexpr uint32_t kReportPeriodBeforeSettingsMs = 20 * kMinuteMs;

}  // namespace

TMainForm::TMainForm(MainFormViews views, MainFormSystem sys)
    : views_(views),
      sys_(sys),
      osMajorVersion_(sys.system.OsVersion().major),
      portDialog_(sys.comPortDialog, sys.lock),
      batteryView_(views.battery, sys.lock),
      battery_(live_, batteryView_, sys.decimalSeparator),
      detector_({link_, live_, sys.sleeper, *this, views.feedback, views.detection, battery_,
                 [this] { LoadBatterySettings(Settings()); },
                 [this] { return std::make_pair(discovery_.VidText(), discovery_.PidText()); },
                 sys.decimalSeparator}),
      discovery_({link_, sys.lock, sys.hid, *this, views.feedback, views.hidList, accepted_,
                  [this] { return sys_.startTimer.Enabled(); }, [this] { return DetectOnArrival(); },
                  [this] { StartMonitoring(); }, [this] { StopMonitoring(); }}),
      actions_({sys.power, live_, sys.lock, *this, *this, *this, *this, sys.pump, sys.sleeper, osMajorVersion_}),
      delayTimer_(sys.delayTimer, sys.clock),
      policy_({delayTimer_, live_, actions_, link_, sys.lock, sys.sleeper, *this, sys.launcher, sys.pump, &nut_}),
      evaluation_({views.status, views.feedback, sys.warnings, battery_, policy_, live_, sys.clock, sys.dateFormat,
                   [this](const std::string& m, const LocalDateTime& t) { AddLogLine(m, t); },
                   [this] { return Identity(); }, sys.decimalSeparator}),
      tests_({link_, sys.lock, sys.sleeper, *this, views.upsTests, sys.testTForm}),
      pageSource_(shown_, settingsShown_, sys.clock, sys.dateFormat),
      pageServerLog_(sys.post, *this),
      pageServer_(pageSource_, {},
                  [this](const std::string& what) { pageServerLog_.AddLogLine(ServerFaultLine("HTTP", what)); }),
      nut_({shown_, settingsShown_, sys.post, *this, sys.pump, sys.sleeper, sys.clock,
            sys.system.ProgramFileVersion(), [this] { PublishForcedShutdown(); }}) {
    // A report box switched on by the saved settings starts its timer before
    // any period is applied: its first report comes a whole period later.
    sys_.smtpReportsTimer.SetInterval(kReportPeriodBeforeSettingsMs);
    sys_.lanReportsTimer.SetInterval(kReportPeriodBeforeSettingsMs);
}

TMainForm::~TMainForm() {
    // The worker references the link; it must end before the members go.
    if (worker_) {
        worker_->Terminate();
        worker_->WaitFor();
    }
}

SettingsContext TMainForm::Settings() {
    return {sys_.store, live_, link_, sys_.lock, battery_, *this, osMajorVersion_, programPath_};
}

UpsIdentityText TMainForm::Identity() const {
    return {discovery_.VidText(), discovery_.PidText(), discovery_.ProductText()};
}

void TMainForm::AddLogLine(const std::string& message) { AddLogLine(message, sys_.clock.Now()); }

void TMainForm::AddLogLine(const std::string& message, const LocalDateTime& when) {
    views_.main.AppendLogLine(log_.Add(message, when, sys_.dateFormat));
}

// ---- start-up and closing

bool TMainForm::FormCreate(const std::vector<std::string>& params) {
    const OsVersionRecord os = sys_.system.OsVersion();
    const std::string osLabel = ComposeOsLabel(os, sys_.system.NativeProcessorArchitecture());
    views_.main.SetForceOptionsEnabled(ForceOptionsSupported(os.major));
    if (!MeetsSystemRequirement(os)) return false;
    views_.main.ShowAbout(osLabel, sys_.system.ProgramFileVersion());
    sys_.system.SetProcessHighPriority();
    sys_.system.SetCurrentThreadPriority(ThreadPriority::Normal);
    programPath_ = sys_.system.ProgramPath();
    actions_.RegisterPowerSchemeNotification();
    views_.main.ApplyPowerAvailability(actions_.PowerActionsAvailable());
    live_.LANServer = sys_.system.ComputerName();
    {
        DataLockGuard guard(sys_.lock);
        link_.RefreshIntervalMs = kDefaultRefreshMs;
    }
    // The saved settings load "HTTP Server" before the page's user and
    // password: the server starts once they are all in, never open before.
    loadingSettings_ = true;
    LoadSettings(Settings());
    loadingSettings_ = false;
    KeepDeviceId();
    KeepUsableUpsName();
    SettingsChanged();
    if (std::exchange(httpClickDuringLoad_, false)) HTTPCBClick();
    if (live_.NUTServer) NUTCBClick();
    views_.main.ShowSettings(live_);
    views_.main.ApplyPowerAvailability(actions_.PowerActionsAvailable());
    LoadSerialSettings(Settings());
    const CommandLineOptions options = ParseCommandLine(params);
    accepted_ = {options.extraVid, options.extraPid};
    if (options.showAbout) views_.main.ShowAboutBox();
    worker_ = std::make_unique<TReadData>(
        link_, sys_.lock, sys_.workerSleeper, sys_.clock,
        TReadData::Hooks{[this] { sys_.system.SetCurrentThreadPriority(ThreadPriority::Idle); },
                         [this] { sys_.mainThread.HandOffReply(); },
                         [this] { sys_.mainThread.HandOffFailedPoll(); }});
    worker_->Start();
    {
        DataLockGuard guard(sys_.lock);
        link_.HidDevice = nullptr;
    }
    sys_.startTimer.SetInterval(kStartTimerMs);
    sys_.startTimer.SetEnabled(true);
    return true;
}

void TMainForm::StartTimerTimer() {
    sys_.startTimer.SetEnabled(false);
    StartAExecute();
}

bool TMainForm::FormCloseQuery() {
    if (exitRequested_) return true;
    views_.main.MinimizeToTray();
    return false;
}

void TMainForm::ExitAExecute() {
    SetExitRequested();
    views_.main.CloseWindow();
}

bool TMainForm::WMQueryEndSession() {
    SetExitRequested();
    return true;
}

void TMainForm::FormClose() {
    StopMailReportTimer();
    StopLANReportTimer();
    pageServer_.Stop();
    nut_.Stop();
    if (!StopWorker()) {
        // The worker is stuck in an exchange and may hold the data lock for
        // good: leave the link and the port alone rather than wait for it. The
        // process ends after this, so the link's values in the registry stay.
        SaveSettings(Settings(), LinkAccess::Unreachable);
        return;
    }
    {
        DataLockGuard guard(sys_.lock);
        if (link_.ComActive && link_.ComPort != 0 && link_.ComHandle) link_.ComHandle->SetDtr(false);
        link_.ComHandle.reset();
    }
    SaveSettings(Settings());
}

// Bounded: a poll holds the worker at most about 4.5 s, and it notices the
// request within 300 ms after that.
bool TMainForm::StopWorker() {
    if (!worker_) return true;
    Terminate();
    constexpr unsigned kStepMs = 10, kLimitMs = 15000;
    if (!WaitForWorkerEnd(*this, sys_.pump, sys_.sleeper, kStepMs, kLimitMs)) return false;
    Free();
    return true;
}

void TMainForm::Terminate() {
    if (worker_) worker_->Terminate();
}

bool TMainForm::Finished() const { return !worker_ || worker_->Finished(); }

void TMainForm::Free() {
    if (!worker_) return;
    worker_->WaitFor();
    worker_.reset();
}

// ---- connecting and monitoring

bool TMainForm::ConnectUps() {
    link_.UsbActive = false;
    link_.ComActive = false;
    link_.Monitoring = false;
    link_.UsbActive = discovery_.FindUsbUps();
    if (!link_.UsbActive) link_.ComActive = OpenComPort(link_, sys_.serialPorts, portDialog_, sys_.sleeper, *this);
    if (link_.UsbActive || link_.ComActive) link_.Monitoring = detector_.DetectProtocol();
    if (link_.Monitoring) return true;
    link_.ComHandle.reset();
    link_.UsbActive = false;
    link_.ComActive = false;
    link_.ComPort = 0;
    return false;
}

// Start stays enabled (it connects again from scratch); Stop follows the
// monitoring state, whoever changed it: the buttons, a USB arrival or removal,
// a failed connect.
void TMainForm::StartAExecute() {
    DataLockGuard guard(sys_.lock);
    if (ConnectUps()) {
        StartMonitoring();
        return;
    }
    views_.main.SetStopEnabled(false);
    PublishNotFound();
}

// Data lock held. A UPS plugged in that does not answer is no UPS found.
bool TMainForm::DetectOnArrival() {
    if (detector_.DetectProtocol(DetectionStart::Arrival)) return true;
    PublishNotFound();
    return false;
}

void TMainForm::StartMonitoring() {
    watch_.Reset();
    StartMailReportTimer();
    StartLANReportTimer();
    AddLogLine("Start Monitoring");
    views_.main.SetStopEnabled(true);
    // Found, with its identity, before its first reply; that reply is its own.
    replied_ = false;
    DataLockGuard guard(sys_.lock);
    PublishShown(link_.ProtocolDetected());
}

void TMainForm::StopMonitoring() {
    watch_.Reset();
    StopMailReportTimer();
    StopLANReportTimer();
    AddLogLine("Stop Monitoring");
    views_.main.SetStartEnabled(true);
    views_.main.SetStopEnabled(false);
    DataLockGuard guard(sys_.lock);
    PublishShown(link_.ProtocolDetected());
}

void TMainForm::StopAExecute() {
    {
        DataLockGuard guard(sys_.lock);
        link_.Monitoring = false;
    }
    StopMonitoring();
}

void TMainForm::RefreshUDClick() {
    DataLockGuard guard(sys_.lock);
    link_.RefreshIntervalMs = static_cast<uint32_t>(live_.RefreshInterval) * 1000u;
}

// ---- replies

void TMainForm::OnWorkerMessage(unsigned wParam) {
    if (wParam == 1) {
        AddLogLine("I/O Thread failed");
        return;
    }
    // An expiry met in the repaint pump below must not run while the worker
    // waits for this hand-off to return.
    struct ExpiryHold {
        TPowerFailPolicy& policy;
        explicit ExpiryHold(TPowerFailPolicy& p) : policy(p) { policy.HoldExpiries(); }
        ~ExpiryHold() { policy.ReleaseExpiries(); }
    } hold(policy_);
    if (wParam == 2)
        OnPollOutcome(false);
    else
        ProcessUPSStatus();
}

// ---- a UPS that stops answering

void TMainForm::OnPollOutcome(bool answered) {
    switch (watch_.OnPoll(answered)) {
        case TLinkWatch::Change::Lost:
            evaluation_.RaiseLinkLost();
            ShowReadingsStale();
            break;
        case TLinkWatch::Change::Back: evaluation_.RaiseLinkBack(); break;
        case TLinkWatch::Change::None: break;
    }
    if (!watch_.Responding() && watch_.ReconnectDue(sys_.clock.MonotonicMs())) ReconnectUps();
}

// Readings that no longer come are not left on screen as if they were current.
void TMainForm::ShowReadingsStale() {
    evaluation_.ShowNoReadings();
    views_.main.SetReportString("");
    views_.battery.SetChargeCaption("...");
    DataLockGuard guard(sys_.lock);
    PublishShown(link_.ProtocolDetected());
}

// What other threads may read of the window: published after every change.
void TMainForm::PublishShown(bool upsFound) { shown_.Publish(ComposeShownStatus(LiveReadings(upsFound))); }

// A search that found nothing: the readings before it belong to no UPS now.
void TMainForm::PublishNotFound() {
    replied_ = false;
    PublishShown(false);
}

// FSD changes on its own (a primary client, the peers' shutdown); the rest of
// what is published stays as it was. Main thread.
void TMainForm::PublishForcedShutdown() {
    TShownStatus shown = *shown_.Current();
    shown.live.forcedShutdown = nut_.Server().ForcedShutdown();
    shown_.Publish(std::move(shown));
}

// Read under the data lock, or on the main thread between the worker's replies.
TShownDevice TMainForm::Device() const {
    TShownDevice device;
    device.protocol = link_.Q1Supported ? "Megatec" : link_.QSSupported ? "Mustek" : "";
    device.usb = link_.UsbActive;
    device.vid = link_.Vid;
    device.pid = link_.Pid;
    if (link_.ISupported) device.info = detector_.Information();
    if (link_.FSupported) device.rated = detector_.Rated();
    return device;
}

// What the snapshot is composed from, read like Device().
ShownStatusParts TMainForm::LiveReadings(bool upsFound) const {
    ShownStatusParts parts{evaluation_.Shown(), replied_, Identity(), upsFound, link_.Monitoring,
                           watch_.Responding(), Device()};
    parts.nominalBatteryVolts = battery_.NominalBatteryVoltage();
    parts.chargePercent = battery_.BatteryCharge();
    parts.emptyTenths = live_.EmptyVoltage;
    parts.fullTenths = live_.FullVoltage;
    parts.forcedShutdown = nut_.Server().ForcedShutdown();
    parts.countdownRemainingMs = delayTimer_.RemainingMs();
    return parts;
}

// NUT clients tell units apart by device.serial; without a USB serial string
// it is an identifier made once and stored at once.
void TMainForm::KeepDeviceId() {
    if (!live_.NUTDeviceId.empty()) return;
    std::random_device random;
    live_.NUTDeviceId = NewDeviceId((static_cast<uint64_t>(random()) << 32) | random());
    if (auto key = sys_.store.OpenKey(kSettingsKeyPath, KeyOpen::CreateIfMissing))
        key->WriteString("NUT Device Id", live_.NUTDeviceId);
}

void TMainForm::KeepUsableUpsName() {
    if (NutUpsNameUsable(live_.NUTUPSName)) return;
    AddLogLine("NUT UPS Name '" + live_.NUTUPSName + "' holds more than letters, digits, '.', '_' and '-'; \"" +
               std::string(kDefaultNutUpsName) + "\" is used");
    live_.NUTUPSName = kDefaultNutUpsName;
}

// Close, reopen and detect again, quietly and once per probe. A failed try
// keeps the protocol found before, so polling goes on with the same query and
// its answer, whenever it comes, is understood.
void TMainForm::ReconnectUps() {
    DataLockGuard guard(sys_.lock);
    const bool q1 = link_.Q1Supported, qs = link_.QSSupported, f = link_.FSupported, i = link_.ISupported;
    if (link_.ComActive) ReopenComPort(link_, sys_.serialPorts, sys_.sleeper);
    if (detector_.DetectProtocol(DetectionStart::Reconnect)) {
        PublishShown(true);
        return;
    }
    link_.Q1Supported = q1;
    link_.QSSupported = qs;
    link_.FSupported = f;
    link_.ISupported = i;
}

void TMainForm::ShowSpinnerStep() {
    static const char* const kGlyphs[] = {"|", "/", "-", "\\"};
    views_.main.SetSpinner(kGlyphs[spinnerStep_ % 4]);
    spinnerStep_ = (spinnerStep_ + 1) % 8;
}

void TMainForm::ProcessUPSStatus() {
    std::string reply;
    LocalDateTime when;
    bool monitoring = false, detected = false;
    {
        DataLockGuard guard(sys_.lock);
        reply = link_.ReplyText;
        when = link_.ReplyTime;
        monitoring = link_.Monitoring;
        detected = link_.ProtocolDetected();
    }
    ShowSpinnerStep();
    if (monitoring && !reply.empty()) {
        views_.main.SetTimeText(sys_.dateFormat.LongTime(when));
        views_.main.SetReportString(reply);
        // Any reply counts as an answer: garbage is a fault of its own, not a
        // UPS gone silent.
        OnPollOutcome(true);
        if (const auto status =
                ParseStatusReply(reply, when, detected, sys_.decimalSeparator, battery_.NominalBatteryVoltage())) {
            replied_ = true;
            EvaluateGuarded(*status);
            PublishShown(detected);
        }
    } else if (monitoring) {
        OnPollOutcome(false);  // an HID poll that heard nothing
    }
    sys_.pump.ProcessMessages();  // let the window repaint between replies
}

// A fault in the evaluation costs that one reply, never the monitoring: it is
// logged once (again only after a reply went through) and the next reply is
// evaluated as usual.
void TMainForm::EvaluateGuarded(const TUPSStatus& status) {
    std::string failure;
    try {
        evaluation_.Evaluate(status);
        evaluationFailure_.clear();
        return;
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown error";
    }
    if (failure == evaluationFailure_) return;
    evaluationFailure_ = failure;
    AddLogLine("Status evaluation failed: " + failure);
}

// ---- log, settings, external program

void TMainForm::ClearLogSBClick() {
    log_.Clear();
    views_.main.ClearLog();
}

void TMainForm::SaveLogSBClick() {
    const auto path = views_.main.AskSaveLogPath(ProposedLogFileName(sys_.clock.Now()));
    if (!path) return;
    std::string error;
    if (!sys_.files.WriteAll(*path, LogFileText(log_.Lines()), error))
        views_.main.ShowError("Cannot create file \"" + *path + "\". " + error);
}

void TMainForm::SaveSetSBClick() { SaveSettings(Settings()); }

void TMainForm::ExSBClick() {
    const auto path = views_.main.AskExternalProgram();
    if (!path) return;
    live_.ExternalProgramName = *path;
    views_.main.ShowExternalProgram(LabelExternalProgram(*path));
}

void TMainForm::ShowExternalProgram(const ExternalProgramLabel& label) { views_.main.ShowExternalProgram(label); }
void TMainForm::ShowSettingsError(const std::string& message) { views_.main.ShowError(message); }

// ---- reports

void TMainForm::StartMailReportTimer() {
    SMTPDelayUDClick();
    if (live_.SMTPReports && !sys_.smtpReportsTimer.Enabled()) sys_.smtpReportsTimer.SetEnabled(true);
}

void TMainForm::StopMailReportTimer() { sys_.smtpReportsTimer.SetEnabled(false); }

void TMainForm::StartLANReportTimer() {
    LANDelayUDClick();
    if (live_.LANReports && !sys_.lanReportsTimer.Enabled()) sys_.lanReportsTimer.SetEnabled(true);
}

void TMainForm::StopLANReportTimer() { sys_.lanReportsTimer.SetEnabled(false); }

void TMainForm::DisableReportTimers() {
    StopMailReportTimer();
    StopLANReportTimer();
}

void TMainForm::RestartReportTimers() {
    StartMailReportTimer();
    StartLANReportTimer();
}

void TMainForm::SMTPReportsCBClick() { sys_.smtpReportsTimer.SetEnabled(live_.SMTPReports); }
void TMainForm::LANReportsCBClick() { sys_.lanReportsTimer.SetEnabled(live_.LANReports); }

// The timer keeps its count when the period is the one it has.
void TMainForm::SMTPDelayUDClick() { sys_.smtpReportsTimer.SetInterval(static_cast<uint32_t>(live_.SMTPDelay) * kMinuteMs); }
void TMainForm::LANDelayUDClick() { sys_.lanReportsTimer.SetInterval(static_cast<uint32_t>(live_.LANDelay) * kMinuteMs); }

void TMainForm::SendSMTPRepSBClick() { MailStatusReport(); }
void TMainForm::LANRepSBClick() { LANStatusReport(); }
void TMainForm::SMTPReportsTimerTimer() { MailStatusReport(); }
void TMainForm::LANReportsTimerTimer() { LANStatusReport(); }

void TMainForm::MailStatusReport() {
    const std::string when = DateTimeText(sys_.clock.Now(), sys_.dateFormat);
    sys_.warnings.SendMail(live_, ReportSubject(when), ComposeReportText(*shown_.Current(), when));
}

void TMainForm::LANStatusReport() {
    const std::string when = DateTimeText(sys_.clock.Now(), sys_.dateFormat);
    sys_.warnings.SendLANMessage(live_, ComposeReportText(*shown_.Current(), when));
}

void TMainForm::SettingsChanged() { settingsShown_.Publish(live_); }

// The port is read first: a text that is no number leaves the server as it
// was. A port the server cannot listen on leaves it off, the box checked and
// the port editable, so the user can pick another.
void TMainForm::HTTPCBClick() {
    if (loadingSettings_) {
        httpClickDuringLoad_ = true;
        return;
    }
    const std::optional<int64_t> port = ReadPortField(live_.HTTPPort, views_.main);
    if (!port) return;
    SettingsChanged();
    SwitchServer(pageServer_, live_.HTTPServer, *port, views_.main);
    views_.main.SetHttpPortEditable(!pageServer_.Active());
}

// The fields follow the box; the credentials are checked whenever they are
// stored, box or not, as the page has always done.
void TMainForm::HTTPAuthCBClick() { views_.main.SetHttpCredentialsEditable(live_.HTTPAuthentication); }

// The port is read first, as the page's is; the server reads the settings
// published here.
void TMainForm::NUTCBClick() {
    const std::optional<int64_t> port = ReadPortField(live_.NUTPort, views_.main);
    if (!port) return;
    SettingsChanged();
    nut_.Switch(live_.NUTServer, *port, views_.main);
    views_.main.SetNutPortEditable(!nut_.Server().Active());
    // A host name in the list admits no one by it: say so where the user looks.
    if (!nut_.Server().Active()) return;
    const TNutAllowedHosts hosts(live_.NUTAllowedHosts);
    for (const std::string& entry : hosts.Ignored())
        AddLogLine("NUT: allowed host '" + entry + "' is not an address or range; ignored");
}

}  // namespace velt
