#pragma once
// The e-mail and LAN senders: every message goes out on a thread of its own
// with its own copies of the texts and settings, so nothing composed later
// can change it and no send waits for another. The result comes back to the
// main thread as the status bar's text; the hourglass shows while any send
// runs. Called on the main thread.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

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
};

struct ReportSendersDeps {
    ISystemInfo& system;  // the computer's name, read when a send starts
    uint32_t osMajorVersion;
    ILanMessenger& messenger;
    IMainThreadPost& mainThread;
    ISendProgressView& view;
    SmtpLimits smtpLimits{};
    TlsSessionFactory tls{};  // none: "SMTP Security" 1 and 2 fail
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

    // At exit: the e-mail sends give up at once; a LAN message box still
    // waiting for its answer is let go. True when every send ended in `bound`.
    bool AbandonAll(std::chrono::milliseconds bound);

private:
    class ResultGate;
    void Begin();
    void Finish(const std::string& statusText, const std::string& logLine = {});
    std::string HeloName();

    ReportSendersDeps deps_;
    std::shared_ptr<ResultGate> gate_;
    int running_ = 0;
    JobThreads jobs_;  // last: its threads end before the rest goes
};

// The status bar's text for the outcome of one e-mail send.
std::string MailResultText(const SmtpOutcome& outcome);
// The log's line for it: only a TLS failure has one, naming its reason.
std::string MailLogLine(const SmtpOutcome& outcome);

}  // namespace velt
