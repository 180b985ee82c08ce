// The senders as the window uses them: each send on its own thread, its
// result back on the main thread, a real SMTP server on loopback.
#include "app/report_senders.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <mutex>
#include <new>
#include <system_error>

#include "lan_fakes.h"
#include "queued_post.h"
#include "main_form_rig.h"
#include "smtp_peer.h"

namespace velt::test {
namespace {

using namespace std::chrono_literals;

struct ProgressView : ISendProgressView {
    std::vector<std::string> texts;
    std::vector<bool> busy;
    std::vector<std::string> logLines;
    void SetStatusText(const std::string& text) override { texts.push_back(text); }
    void SetBusyCursor(bool b) override { busy.push_back(b); }
    void AddSendLogLine(const std::string& line) override { logLines.push_back(line); }
};

TEST(ReportSenders, EachSendReportsOnTheMainThreadAndExitAbandonsAHangingOne) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    FakeSystemInfo system;
    lan::FakeLanMessenger messenger;
    messenger.sessionSend = false;
    QueuedPost post;
    ProgressView view;
    TUPSSettings settings;
    settings.SMTPHost = "127.0.0.1";
    settings.SMTPPort = peer.Port("plain");
    {
        ReportSenders senders({system, 6, messenger, post, view});
        senders.SendMail(settings, "Report - now", "Temperature = 25.0 \xB0" "C\r\n");
        settings.SMTPPort = "no port";  // the copy taken above is the one sent with
        senders.SendLANMessage(settings, "Report - now\r\n");
        ASSERT_TRUE(post.RunUntil([&] { return view.texts.size() == 2; }));
        EXPECT_EQ(peer.Next().get<std::string>("subject", ""), "Report - now");
        std::sort(view.texts.begin(), view.texts.end());
        EXPECT_EQ(view.texts, (std::vector<std::string>{"LAN Report sending failed!", "Report sending O.K."}));
        EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));  // one hourglass for both
        EXPECT_TRUE(view.logLines.empty());

        // A TLS failure says why in the log; the status bar keeps its one text.
        settings.SMTPSecurity = 1;
        senders.SendMail(settings, "Report - now", "body\r\n");
        ASSERT_TRUE(post.RunUntil([&] { return view.texts.size() == 3; }));
        EXPECT_EQ(view.texts.back(), "Report sending failed");
        EXPECT_EQ(view.logLines, (std::vector<std::string>{"E-mail not sent: This build has no TLS"}));
        settings.SMTPSecurity = 0;

        settings.SMTPPort = peer.Port("silent");
        senders.SendMail(settings, "Warning - Power fail", "body\r\n");
        EXPECT_EQ(peer.Next().get<std::string>("line", ""), "EHLO OFFICE-PC");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(senders.AbandonAll(2s));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    }
    // The abandoned send's result never reaches a window that is going.
    post.RunUntil([&] { std::lock_guard g(post.m); return post.tasks.empty(); });
    EXPECT_EQ(view.texts.size(), 3u);
}

// A send whose thread throws (out of memory, a resolver's system_error)
// reports a failure like any other and the program goes on.
TEST(ReportSenders, ASendThatThrowsReportsFailureAndTheProgramGoesOn) {
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    FakeSystemInfo system;
    struct ThrowingMessenger : lan::FakeLanMessenger {
        uint32_t MessengerSend(const std::string&, const std::string&) override {
            throw std::system_error(std::make_error_code(std::errc::not_enough_memory), "resolver");
        }
    } messenger;
    QueuedPost post;
    ProgressView view;
    TUPSSettings settings;
    settings.SMTPHost = "127.0.0.1";
    settings.SMTPPort = peer.Port("plain");
    settings.SMTPSecurity = 2;
    const TlsSessionFactory throwing = [](const std::string&) -> std::unique_ptr<ITlsSession> {
        throw std::bad_alloc();
    };
    ReportSenders senders({system, 5, messenger, post, view, {}, throwing});
    senders.SendMail(settings, "Warning - Power fail", "body\r\n");
    senders.SendLANMessage(settings, "Warning - Power fail\r\n");
    ASSERT_TRUE(post.RunUntil([&] { return view.texts.size() == 2; }));
    std::sort(view.texts.begin(), view.texts.end());
    EXPECT_EQ(view.texts, (std::vector<std::string>{"LAN Report sending failed!", "Report sending failed"}));
    std::sort(view.logLines.begin(), view.logLines.end());
    EXPECT_EQ(view.logLines, (std::vector<std::string>{"E-mail not sent: std::bad_alloc",
                                                        "LAN message not sent: resolver: Cannot allocate memory"}));
    EXPECT_EQ(view.busy, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace velt::test
