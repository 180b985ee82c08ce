#include "app/nut_source.h"

#include <charconv>

namespace velt {

namespace {

constexpr UPSTestButton kRemoteButtons[] = {UPSTestButton::Test10s, UPSTestButton::TestT, UPSTestButton::TestLow,
                                            UPSTestButton::CancelTest, UPSTestButton::Beeper};

// The reading in the local status reply's form, for the data stream: the
// window shows a remote UPS as it shows a local one. A value the server
// does not give shows as "-".
std::string DataStreamText(const TUPSStatus& status) {
    std::string text = "(";
    for (const ReplyFieldName& name : kReplyFields) {
        const std::string& field = (status.*name.field).text;
        if (text.size() > 1) text += ' ';
        text += field.empty() ? "-" : field;
    }
    return text;
}

}  // namespace

std::optional<uint16_t> NutPortNumber(const std::string& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535) return std::nullopt;
    return static_cast<uint16_t>(value);
}

std::optional<std::string> NutCommandOf(UPSTestButton button) {
    switch (button) {
        case UPSTestButton::Test10s: return "test.battery.start.quick";
        case UPSTestButton::TestLow: return "test.battery.start.deep";
        case UPSTestButton::CancelTest: return "test.battery.stop";
        case UPSTestButton::Beeper: return "beeper.toggle";
        case UPSTestButton::TestT: break;
    }
    return std::nullopt;
}

NutTargetOrWhy NutTargetOf(const TUPSSettings& live) {
    if (live.RemoteHost.empty()) return {std::nullopt, "no NUT server set"};
    const auto port = NutPortNumber(live.RemotePort);
    if (!port) return {std::nullopt, "not a port number: " + live.RemotePort};
    return {NutTarget{live.RemoteHost, *port, live.RemoteUPS, live.RemoteUser, live.RemotePassword}, ""};
}

void NutSource::SetWorkerHooks(ISleeper& workerSleeper, ReadData::Hooks hooks) {
    workerSleeper_ = &workerSleeper;
    hooks_ = std::move(hooks);
}

bool NutSource::Connect() {
    const NutTargetOrWhy target = service_ ? NutTargetOrWhy{service_, ""} : NutTargetOf(d_.live);
    found_ = false;
    connectionText_.clear();
    commandsShown_.reset();
    identity_ = {};
    if (!target.target) {
        d_.feedback.SetStatusText("NUT UPS: " + target.why);
        return false;
    }
    target_ = *target.target;
    {
        std::lock_guard<std::mutex> guard(shared_.mutex);
        shared_.request.monitoring = true;
        shared_.request.target = target_;
        shared_.request.connectAllowed = true;
        shared_.findings = {};
    }
    monitoring_ = true;
    if (worker_.Finished() && workerSleeper_) {
        worker_.Join();
        poll_.Rearm();
        worker_.Start(poll_, *workerSleeper_, hooks_);
    }
    d_.detection.ShowNetworkConnection(target_.Where());
    d_.feedback.SetStatusText(Label() + " connecting");
    return true;
}

// The worker tries on its next poll; its outcome comes as a reply or not.
bool NutSource::Reconnect() {
    std::lock_guard<std::mutex> guard(shared_.mutex);
    shared_.request.connectAllowed = true;
    return false;
}

void NutSource::StopPolling() {
    monitoring_ = false;
    std::lock_guard<std::mutex> guard(shared_.mutex);
    shared_.request.monitoring = false;
}

void NutSource::SetRefreshInterval(uint32_t ms) {
    std::lock_guard<std::mutex> guard(shared_.mutex);
    shared_.request.intervalMs = ms;
}

void NutSource::SendCommand(const std::string& command) {
    std::lock_guard<std::mutex> guard(shared_.mutex);
    shared_.request.command = command;
}

NutFindings NutSource::TakeFindings() {
    std::lock_guard<std::mutex> guard(shared_.mutex);
    NutFindings findings = shared_.findings;
    shared_.findings.commandOutcome.reset();
    return findings;
}

SourceReply NutSource::TakeReply() {
    const NutFindings findings = TakeFindings();
    ShowConnection(findings);
    SourceReply reply;
    reply.monitoring = monitoring_;
    if (!monitoring_ || !findings.variables) return reply;
    NutReading reading = ReadingFromNutVariables(*findings.variables, findings.when);
    found_ = true;
    ShowIdentity(reading.identity);
    reply.text = DataStreamText(reading.status);
    reading.status.ReplyText = reply.text;
    reply.when = findings.when;
    reply.chargePercent = reading.chargePercent;
    reply.forcedShutdown = reading.forcedShutdown;
    reply.status = std::move(reading.status);
    return reply;
}

std::string NutSource::Label() const { return service_ ? "Veltrano service" : "NUT UPS " + target_.Where(); }

void NutSource::OnFailedPoll() { ShowConnection(TakeFindings()); }

// The status bar and the log follow the connection's changes, not its polls.
void NutSource::ShowConnection(const NutFindings& findings) {
    if (findings.commandOutcome) ShowCommandOutcome(*findings.commandOutcome);
    if (!monitoring_) return;
    std::string text = Label();
    if (findings.connected && findings.problem.empty())
        text += findings.loginRefusal.empty() ? " connected" : " connected, login refused: " + findings.loginRefusal;
    else if (!findings.problem.empty())
        text += ": " + findings.problem;
    else
        return;  // no try made yet
    if (findings.connected) ShowCommands(findings.commands);
    if (text == connectionText_) return;
    connectionText_ = text;
    d_.feedback.SetStatusText(text);
    d_.log.AddLogLine(text);
}

void NutSource::ShowCommands(const std::set<std::string>& offered) {
    if (commandsShown_ == offered) return;
    commandsShown_ = offered;
    for (UPSTestButton button : kRemoteButtons) {
        const auto command = NutCommandOf(button);
        d_.tests.SetUPSTestButtonEnabled(button, command && offered.count(*command) != 0);
    }
}

void NutSource::ShowCommandOutcome(const NutCommandOutcome& outcome) {
    if (outcome.error.empty()) {
        d_.log.AddLogLine("NUT command " + outcome.command + " accepted");
        return;
    }
    const std::string text = "NUT command " + outcome.command + " refused: " + outcome.error;
    d_.feedback.SetStatusText(text);
    d_.log.AddLogLine(text);
}

void NutSource::ShowIdentity(const NutIdentity& identity) {
    if (identity == identity_) return;
    identity_ = identity;
    d_.detection.ShowIdentification({identity.mfr, identity.model, identity.firmware});
}

ShownDevice NutSource::Device() const {
    ShownDevice device;
    device.protocol = "NUT";
    if (found_) device.info = TUPSInformation{identity_.mfr, identity_.model, identity_.firmware};
    return device;
}

UpsIdentityText NutSource::Identity() const {
    std::string product = identity_.mfr;
    if (!identity_.model.empty()) product += (product.empty() ? "" : " ") + identity_.model;
    return {"", "", product};
}

}  // namespace velt
