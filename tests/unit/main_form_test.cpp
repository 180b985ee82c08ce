#include "app/main_form.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace velt::test {
namespace {

struct NoPorts : ISerialPortFactory {
    std::unique_ptr<ISerialPort> Open(int) override { return nullptr; }
};
struct NoDialog : IComPortDialog {
    void ClearPorts() override {}
    void AddPort(const std::string&) override {}
    void SelectFirstPort() override {}
    bool ShowModal() override { return false; }
    std::optional<std::string> SelectedPort() const override { return std::nullopt; }
    bool DtrChecked() const override { return true; }
    bool RtsChecked() const override { return false; }
};

struct MainForm : ::testing::Test {
    RecordingView view;
    FakeLock lock;
    VirtualTime time;
    FixedFormat fmt;
    NoPorts ports;
    NoDialog dialog;
    FakeFiles files;
    TMainForm form{{view, lock, time, time, fmt, ports, dialog, files}};

    void Reply(const std::string& text) {
        form.Link().Monitoring = true;
        form.Link().Q1Supported = true;
        form.Link().ReplyText = text;
        form.Link().ReplyTime = {2026, 12, 7, 10, 11, 12, 0};
        form.OnWorkerMessage(0);
    }
};

TEST_F(MainForm, ReplyIsShownWithItsTimeAndTheSpinnerTurns) {
    Reply("(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001#");
    EXPECT_EQ(view.report, "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001#");
    EXPECT_EQ(view.timeText, "10:11:12");
    for (int i = 0; i < 8; ++i) Reply("");
    EXPECT_EQ(view.spinnerHistory,
              (std::vector<std::string>{"|", "/", "-", "\\", "|", "/", "-", "\\", "|"}));
    EXPECT_EQ(view.report, "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001#");  // empty keeps it
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(MainForm, StoppedMonitoringShowsOnlyTheSpinner) {
    form.Link().ReplyText = "(1#";
    form.OnWorkerMessage(0);
    EXPECT_EQ(view.report, "");
    EXPECT_EQ(view.spinner, "|");
}

TEST_F(MainForm, WorkerFailureIsOnlyLogged) {
    form.OnWorkerMessage(1);
    ASSERT_EQ(view.log.size(), 1u);
    EXPECT_EQ(view.log[0], "07.12.2026 22:38:46 I/O Thread failed");
    EXPECT_TRUE(view.spinnerHistory.empty());
}

TEST_F(MainForm, StopClearsMonitoringAndSwapsTheButtons) {
    form.Link().Monitoring = true;
    view.stopEnabled = true;
    form.StopAExecute();
    EXPECT_FALSE(form.Link().Monitoring);
    EXPECT_EQ(view.log.back(), "07.12.2026 22:38:46 Stop Monitoring");
    EXPECT_TRUE(view.startEnabled);
    EXPECT_FALSE(view.stopEnabled);
}

TEST_F(MainForm, RefreshIntervalFollowsTheUpDown) {
    view.refreshSeconds = 1;
    form.RefreshUDClick();
    EXPECT_EQ(form.Link().RefreshIntervalMs, 1000u);
    view.refreshSeconds = 60;
    form.RefreshUDClick();
    EXPECT_EQ(form.Link().RefreshIntervalMs, 60000u);
}

TEST_F(MainForm, FailedConnectForgetsThePortAndReleasesTheLock) {
    form.Link().ComPort = 0;
    form.StartAExecute();
    EXPECT_FALSE(form.Link().Monitoring);
    EXPECT_EQ(form.Link().ComPort, 0);
    EXPECT_EQ(lock.depth, 0);
    EXPECT_TRUE(view.log.empty());
}

TEST_F(MainForm, SaveLogWritesEveryLineOrReportsTheError) {
    view.savePath = std::nullopt;
    form.AddLogLine("Start Monitoring");
    form.SaveLogSBClick();
    EXPECT_EQ(view.proposedName, "Log_261207223846123.txt");
    EXPECT_TRUE(files.path.empty());

    view.savePath = "C:\\log.txt";
    form.SaveLogSBClick();
    EXPECT_EQ(files.bytes, "07.12.2026 22:38:46 Start Monitoring\r\n");

    files.ok = false;
    form.SaveLogSBClick();
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_EQ(view.errors[0], "Cannot create file \"C:\\log.txt\". Access is denied");
    EXPECT_EQ(form.EventLog().Lines().size(), 1u);

    form.ClearLogSBClick();
    EXPECT_TRUE(view.log.empty());
    files.ok = true;
    form.SaveLogSBClick();
    EXPECT_EQ(files.bytes, "");  // an empty log saves an empty file
}

}  // namespace
}  // namespace velt::test
