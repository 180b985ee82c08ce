#include "app/report_senders.h"

#include <functional>
#include <mutex>

#include "core/failure_of.h"
#include "reports/lan_message.h"

namespace velt {

namespace {

constexpr std::chrono::milliseconds kExitBound{2000};
constexpr const char* kMailFailedText = "Report sending failed";
constexpr const char* kLanFailedText = "LAN Report sending failed!";

// What a send that threw (out of memory, a resolver's system error) reports
// in place of its result, with the reason for the log.
template <typename Send, typename Failed>
void ReportingFailure(Send send, Failed failed) {
    if (const auto what = FailureOf(send)) failed(*what);
}

}  // namespace

// Where a finished send's result goes: the main thread, while the senders
// exist. A thread let go at exit may finish after that; its result is
// dropped here instead of reaching a queue or a sender that is gone.
class ReportSenders::ResultGate : public std::enable_shared_from_this<ResultGate> {
public:
    explicit ResultGate(IMainThreadPost& post) : post_(&post) {}

    // Any thread; `task` runs on the main thread unless the gate closed first.
    void Post(std::function<void()> task) {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!post_) return;
        post_->Post([self = shared_from_this(), task = std::move(task)] {
            if (self->Open()) task();
        });
    }
    void Close() {
        std::lock_guard<std::mutex> guard(mutex_);
        post_ = nullptr;
    }

private:
    bool Open() {
        std::lock_guard<std::mutex> guard(mutex_);
        return post_ != nullptr;
    }

    std::mutex mutex_;
    IMainThreadPost* post_;
};

ReportSenders::ReportSenders(ReportSendersDeps deps)
    : deps_(deps), gate_(std::make_shared<ResultGate>(deps.mainThread)) {}

ReportSenders::~ReportSenders() { AbandonAll(kExitBound); }

bool ReportSenders::AbandonAll(std::chrono::milliseconds bound) {
    if (outbox_) outbox_->Stop(bound);
    const bool allEnded = jobs_.AbandonAll(bound);
    gate_->Close();
    return allEnded;
}

std::string MailResultText(const SmtpOutcome& outcome) {
    switch (outcome.kind) {
        case SmtpOutcome::Kind::Success: return "Report sending O.K.";
        case SmtpOutcome::Kind::FailedWithText: return outcome.text;
        case SmtpOutcome::Kind::FailedWithoutText: break;
    }
    return kMailFailedText;
}

std::string MailLogLine(const SmtpOutcome& outcome) {
    return outcome.tlsFailure.empty() ? std::string() : "E-mail not sent: " + outcome.tlsFailure;
}

void ReportSenders::SendMail(const TUPSSettings& s, const std::string& subject, const std::string& body) {
    if (outbox_) {
        outbox_->UseSettings(s);
        if (outbox_->QueueMail(subject, body, deps_.clock->Now())) return;
    }
    // No outbox, or one whose file takes nothing: sent once, at once, as
    // better than not at all.
    SendMailNow(s, subject, body);
}

void ReportSenders::UseSettings(const TUPSSettings& settings) {
    if (outbox_) return outbox_->UseSettings(settings);
    if (deps_.outboxFile.empty() || !deps_.clock || !deps_.dateFormat) return;
    outbox_ = std::make_unique<AlertChannels>(OutboxDeps(), settings);
}

std::optional<int64_t> ReportSenders::AlertsWaiting() const {
    if (!outbox_) return std::nullopt;
    return waiting_.value_or(0);
}

// The outbox's hooks reach the main thread through the gate, like a send's result.
AlertChannelsDeps ReportSenders::OutboxDeps() {
    MailChannelHooks hooks{
        [gate = gate_, this] { gate->Post([this] { Begin(); }); },
        [gate = gate_, this](const SmtpOutcome& outcome) {
            gate->Post([this, text = MailResultText(outcome), line = MailLogLine(outcome)] { Finish(text, line); });
        }};
    return {deps_.outboxFile,
            *deps_.clock,
            *deps_.dateFormat,
            [&system = deps_.system] { return system.ComputerName(); },
            deps_.smtpLimits,
            deps_.tls,
            std::move(hooks),
            [gate = gate_, this](const std::string& line) { gate->Post([this, line] { deps_.view.AddSendLogLine(line); }); },
            [gate = gate_, this](int64_t count) { gate->Post([this, count] { WaitingChanged(count); }); },
            deps_.outboxPoll};
}

void ReportSenders::WaitingChanged(int64_t count) {
    if (count == waiting_) return;
    waiting_ = count;
    deps_.view.ShowAlertsWaiting(count);
}

void ReportSenders::SendMailNow(const TUPSSettings& s, const std::string& subject, const std::string& body) {
    auto send = std::make_shared<SmtpSend>(
        SmtpConnectionOf(s),
        MailContent{subject, body, HeloName(deps_.system.ComputerName()), std::chrono::system_clock::now()}, deps_.smtpLimits, deps_.tls);
    Begin();
    jobs_.Run([this, gate = gate_, send] {
        ReportingFailure(
            [&] {
                const SmtpOutcome outcome = send->Run();
                gate->Post([this, text = MailResultText(outcome), line = MailLogLine(outcome)] { Finish(text, line); });
            },
            [&](const std::string& what) {
                gate->Post([this, line = "E-mail not sent: " + what] { Finish(kMailFailedText, line); });
            });
    }, [send] { send->Abandon(); });
}

void ReportSenders::SendLANMessage(const TUPSSettings& s, const std::string& body) {
    LanJob job{body, s.LANServer, deps_.system.ComputerName(), deps_.osMajorVersion};
    Begin();
    // Only the messenger and the gate: a thread let go at exit must not reach
    // into this object.
    jobs_.Run([this, &messenger = deps_.messenger, gate = gate_, job = std::move(job)] {
        ReportingFailure([&] { gate->Post([this, text = SendLanReport(messenger, job)] { Finish(text); }); },
                         [&](const std::string& what) {
                             gate->Post([this, line = "LAN message not sent: " + what] {
                                 Finish(kLanFailedText, line);
                             });
                         });
    });
}

// Push alerts go only through the outbox: without one there is nothing to push.
void ReportSenders::SendPush(const TUPSSettings& settings, const PushAlert& alert) {
    if (!outbox_) return;
    outbox_->UseSettings(settings);
    outbox_->QueuePush(settings, alert);
}

void ReportSenders::SendPushTest(const TUPSSettings& settings, PushChannel channel, const PushAlert& alert) {
    if (!outbox_) return;
    outbox_->UseSettings(settings);
    outbox_->QueuePushTest(settings, channel, alert);
}

void ReportSenders::Begin() {
    if (running_++ == 0) deps_.view.SetBusyCursor(true);
}

void ReportSenders::Finish(const std::string& statusText, const std::string& logLine) {
    deps_.view.SetStatusText(statusText);
    if (!logLine.empty()) deps_.view.AddSendLogLine(logLine);
    if (--running_ == 0) deps_.view.SetBusyCursor(false);
}

}  // namespace velt
