#include "app/main_form.h"

#include "status/ups_status.h"

namespace velt {

TMainForm::TMainForm(MainFormDeps deps) : d_(deps) {}

TMainForm::~TMainForm() {
    // The worker references the link; it must end first.
    worker_.reset();
}

void TMainForm::CreateWorker(TReadData::Hooks hooks) {
    worker_ = std::make_unique<TReadData>(link_, d_.lock, d_.sleeper, d_.clock, std::move(hooks));
    worker_->Start();
}

void TMainForm::TerminateWorker() {
    if (worker_) worker_->Terminate();
}

bool TMainForm::WorkerFinished() const { return !worker_ || worker_->Finished(); }

void TMainForm::JoinWorker() {
    if (worker_) worker_->WaitFor();
    worker_.reset();
}

void TMainForm::CloseComPort() {
    DataLockGuard guard(d_.lock);
    if (link_.ComActive && link_.ComPort != 0 && link_.ComHandle) link_.ComHandle->SetDtr(false);
    link_.ComHandle.reset();
}

void TMainForm::AddLogLine(const std::string& message) { AddLogLine(message, d_.clock.Now()); }

void TMainForm::AddLogLine(const std::string& message, const LocalDateTime& when) {
    d_.view.AppendLogLine(log_.Add(message, when, d_.dateFormat));
}

// Stand-in connect until detection exists: open the serial port and assume the
// Megatec status query.
bool TMainForm::ConnectUps() {
    link_.Monitoring = false;
    link_.UsbActive = false;
    link_.ComActive = false;
    if (!OpenComPort(link_, d_.serialPorts, d_.comPortDialog, d_.sleeper)) {
        link_.ComHandle.reset();
        link_.ComPort = 0;
        return false;
    }
    link_.ComActive = true;
    link_.Q1Supported = true;
    link_.Monitoring = true;
    d_.view.SetStatusText("Megatec protocol UPS detected: COM" + std::to_string(link_.ComPort));
    return true;
}

void TMainForm::StartAExecute() {
    bool connected = false;
    {
        DataLockGuard guard(d_.lock);
        connected = ConnectUps();
    }
    if (connected) {
        StartMonitoring();
        d_.view.SetStartEnabled(true);
        d_.view.SetStopEnabled(true);
    }
}

void TMainForm::StartMonitoring() {
    // The report timers join here once the senders exist.
    AddLogLine("Start Monitoring");
}

void TMainForm::StopMonitoring() { AddLogLine("Stop Monitoring"); }

void TMainForm::StopAExecute() {
    {
        DataLockGuard guard(d_.lock);
        link_.Monitoring = false;
    }
    AddLogLine("Stop Monitoring");
    d_.view.SetStartEnabled(true);
    d_.view.SetStopEnabled(false);
}

void TMainForm::RefreshUDClick() {
    DataLockGuard guard(d_.lock);
    link_.RefreshIntervalMs = static_cast<uint32_t>(d_.view.RefreshSeconds()) * 1000u;
}

void TMainForm::OnWorkerMessage(unsigned wParam) {
    if (wParam == 1) {
        AddLogLine("I/O Thread failed");
        return;
    }
    ProcessUPSStatus();
}

void TMainForm::ShowSpinnerStep() {
    static const char* const kGlyphs[] = {"|", "/", "-", "\\"};
    d_.view.SetSpinner(kGlyphs[spinnerStep_ % 4]);
    spinnerStep_ = (spinnerStep_ + 1) % 8;
}

void TMainForm::ProcessUPSStatus() {
    std::string reply;
    LocalDateTime when;
    bool monitoring = false, detected = false;
    {
        DataLockGuard guard(d_.lock);
        reply = link_.ReplyText;
        when = link_.ReplyTime;
        monitoring = link_.Monitoring;
        detected = link_.ProtocolDetected();
    }
    ShowSpinnerStep();
    if (!monitoring || reply.empty()) return;
    d_.view.SetTimeText(d_.dateFormat.LongTime(when));
    d_.view.SetReportString(reply);
    const auto status = ParseStatusReply(reply, when, detected, d_.decimalSeparator);
    (void)status;  // evaluation of the fields and events builds on this
}

void TMainForm::ClearLogSBClick() {
    log_.Clear();
    d_.view.ClearLog();
}

void TMainForm::SaveLogSBClick() {
    const auto path = d_.view.AskSaveLogPath(ProposedLogFileName(d_.clock.Now()));
    if (!path) return;
    std::string error;
    if (!d_.files.WriteAll(*path, LogFileText(log_.Lines()), error))
        d_.view.ShowError("Cannot create file \"" + *path + "\". " + error);
}

}  // namespace velt
