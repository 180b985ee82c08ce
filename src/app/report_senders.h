#pragma once
// The e-mail and LAN senders: every message goes out on a thread of its own
// with its own copies of the texts and settings, so nothing composed later
// can change it and no send waits for another. The result comes back to the
// main thread as the status bar's text; the hourglass shows while any send
// runs. Called on the main thread.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/alert_channels.h"
#include "app/job_threads.h"
#include "net/smtp_client.h"
#include "status/warnings.h"
#include "sys/lan_messenger.h"
#include "sys/main_thread_post.h"
#include "sys/system_info.h"

namespace velt {

class ISendProgressView {
public:
    virtual ~ISendProgressView() = default;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // A line for the event log, with the time it is added.
    virtual void AddSendLogLine(const std::string& line) = 0;
    // "N alerts waiting" while any are; 0 takes it away.
    virtual void ShowAlertsWaiting(int64_t) {}
};

struct ReportSendersDeps {
    ISystemInfo& system;  // the computer's name, read when a send starts
    uint32_t osMajorVersion;
    ILanMessenger& messenger;
    IMainThreadPost& mainThread;
    ISendProgressView& view;
    SmtpLimits smtpLimits{};
    TlsSessionFactory tls{};  // none: "SMTP Security" 1 and 2 fail
    // The outbox's file (the history's); empty: each e-mail is sent once, at once.
    std::filesystem::path outboxFile{};
    const IClock* clock = nullptr;  // both needed with an outbox
    const IDateTimeFormat* dateFormat = nullptr;
    std::chrono::milliseconds outboxPoll{5000};
};

class ReportSenders final : public IWarningSender {
public:
    explicit ReportSenders(ReportSendersDeps deps);
    // Abandons the sends still running, at most 2 s.
    ~ReportSenders() override;
    ReportSenders(const ReportSenders&) = delete;
    ReportSenders& operator=(const ReportSenders&) = delete;

    void SendMail(const TUPSSettings& settings, const std::string& subject, const std::string& body) override;
    void SendLANMessage(const TUPSSettings& settings, const std::string& body) override;
    void SendPush(const TUPSSettings& settings, const PushAlert& alert) override;
    void SendPushTest(const TUPSSettings& settings, PushChannel channel, const PushAlert& alert) override;
    // The first call starts the outbox, which sends what an earlier run left.
    void UseSettings(const TUPSSettings& settings) override;
    std::optional<int64_t> AlertsWaiting() const override;

    // At exit: the e-mail sends give up at once; a LAN message box still
    // waiting for its answer is let go. True when every send ended in `bound`.
    bool AbandonAll(std::chrono::milliseconds bound);

private:
    class ResultGate;
    void Begin();
    void Finish(const std::string& statusText, const std::string& logLine = {});
    void SendMailNow(const TUPSSettings& settings, const std::string& subject, const std::string& body);
    AlertChannelsDeps OutboxDeps();
    void WaitingChanged(int64_t count);

    ReportSendersDeps deps_;
    std::shared_ptr<ResultGate> gate_;
    int running_ = 0;
    std::optional<int64_t> waiting_;  // main thread; none before the outbox's first pass
    JobThreads jobs_;
    std::unique_ptr<AlertChannels> outbox_;  // last: its thread ends before the rest goes
};

// The status bar's text for the outcome of one e-mail send.
std::string MailResultText(const SmtpOutcome& outcome);
// The log's line for it: only a TLS failure has one, naming its reason.
std::string MailLogLine(const SmtpOutcome& outcome);

}  // namespace velt
