// E-mail through the outbox as the window sends it: a real SMTP server on
// loopback that is down at first, a virtual wall clock for the retries, and
// a restart of the program in between.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>

#include "app/report_senders.h"
#include "core/date_time_text.h"
#include "fakes.h"
#include "lan_fakes.h"
#include "net/asio.h"
#include "main_form_rig.h"
#include "queued_post.h"
#include "reports/history_time.h"
#include "smtp_peer.h"

namespace velt::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct WallClock : IClock {
    std::atomic<int64_t> utc{1'800'000'000};
    LocalDateTime Now() const override { return LocalTimeAt(utc, 60); }
    uint64_t MonotonicMs() const override { return 0; }
};

struct OutboxView : ISendProgressView {
    std::vector<std::string> texts, logLines;
    std::vector<int64_t> waiting;
    void SetStatusText(const std::string& text) override { texts.push_back(text); }
    void SetBusyCursor(bool) override {}
    void AddSendLogLine(const std::string& line) override { logLines.push_back(line); }
    void ShowAlertsWaiting(int64_t count) override { waiting.push_back(count); }
};

// A port nothing listens on: one the system gave and took back.
std::string ClosedPort() {
    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor acceptor(io, {boost::asio::ip::make_address("127.0.0.1"), 0});
    return std::to_string(acceptor.local_endpoint().port());
}

class AlertOutboxTest : public ::testing::Test {
protected:
    AlertOutboxTest() {
        folder_ = fs::temp_directory_path() /
                  ("veltrano-alerts-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        settings_.SMTPHost = "127.0.0.1";
        settings_.SMTPPort = ClosedPort();
    }
    ~AlertOutboxTest() override {
        senders_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void Start(const fs::path& file = {}) {
        senders_ = std::make_unique<ReportSenders>(ReportSendersDeps{
            system_, 6, messenger_, post_, view_, {}, {}, file.empty() ? folder_ / "history.db" : file, &clock_,
            &format_, 10ms});
        senders_->UseSettings(settings_);
    }
    void Restart() {
        senders_->AbandonAll(2s);
        senders_.reset();
        Start();
    }

    fs::path folder_;
    FakeSystemInfo system_;
    lan::FakeLanMessenger messenger_;
    QueuedPost post_;
    OutboxView view_;
    WallClock clock_;
    FixedFormat format_;
    TUPSSettings settings_;
    std::unique_ptr<ReportSenders> senders_;
};

// The server is down when the mains fail and comes up two minutes later,
// with a restart of the program in between: the warning arrives once, at the
// start, with its Message-ID, the time it was written and the count back to 0.
TEST_F(AlertOutboxTest, AWarningWrittenWhileTheServerIsDownArrivesOnceAfterItComesUp) {
    Start();
    senders_->SendMail(settings_, "Warning - Power fail", "Warning - 10.12.2026 10:00:00 Power fail\r\n");
    ASSERT_TRUE(post_.RunUntil([&] { return !view_.waiting.empty() && !view_.texts.empty(); }));
    EXPECT_EQ(view_.texts.back(), "Report sending failed");
    EXPECT_EQ(view_.waiting.back(), 1);
    EXPECT_EQ(senders_->AlertsWaiting(), 1);
    EXPECT_TRUE(std::any_of(view_.logLines.begin(), view_.logLines.end(), [](const std::string& line) {
        return line.find("tried again later") != std::string::npos;
    })) << ::testing::PrintToString(view_.logLines);

    SmtpPeer peer;  // the server comes up while the program is not running
    ASSERT_TRUE(peer.Started());
    settings_.SMTPPort = peer.Port("plain");
    clock_.utc += 10;  // before its retry is due: a start tries it at once
    Restart();
    ASSERT_TRUE(post_.RunUntil([&] { return view_.texts.back() == "Report sending O.K."; }));
    const ptree mail = peer.Next();
    EXPECT_EQ(mail.get<std::string>("subject", ""), "Warning - Power fail");
    EXPECT_NE(mail.get<std::string>("message_id", "").find("@OFFICE-PC>"), std::string::npos);
    EXPECT_NE(mail.get<std::string>("body", "").find("Written at "), std::string::npos);
    ASSERT_TRUE(post_.RunUntil([&] { return view_.waiting.back() == 0; }));
    clock_.utc += 3600;  // nothing is sent twice
    EXPECT_TRUE(peer.Next().empty());
}

// A file that cannot be written (its folder is a file) loses no e-mail: it
// goes at once, as it did before there was an outbox.
TEST_F(AlertOutboxTest, AnOutboxThatCannotBeWrittenStillSendsAtOnce) {
    fs::create_directories(folder_);
    std::ofstream(folder_ / "Veltrano") << "not a folder";
    SmtpPeer peer;
    ASSERT_TRUE(peer.Started());
    settings_.SMTPPort = peer.Port("plain");
    Start(folder_ / "Veltrano" / "history.db");
    senders_->SendMail(settings_, "Warning - Power fail", "body\r\n");
    ASSERT_TRUE(post_.RunUntil([&] { return !view_.texts.empty(); }));
    EXPECT_EQ(view_.texts.back(), "Report sending O.K.");
    EXPECT_EQ(peer.Next().get<std::string>("subject", ""), "Warning - Power fail");
}

}  // namespace
}  // namespace velt::test
