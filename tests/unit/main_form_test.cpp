#include "app/main_form.h"

#include <algorithm>
#include <atomic>
#include <future>
#include <regex>
#include <thread>

#include <gtest/gtest.h>

#include "http_exchange.h"
#include "main_form_rig.h"
#include "reports/report_text.h"
#include "reports/status_json.h"

namespace velt::test {
namespace {

const std::string kStatus = "(230.0 230.0 229.0 013 50.0 13.6 25.0 00001001\r";
const char* const kKey = "\\Software\\Quorvane\\Veltrano";

struct MainForm : ::testing::Test, MainFormRig {
    void Reply(const std::string& text) {
        form.Link().Monitoring = true;
        form.Link().Q1Supported = true;
        form.Link().ReplyText = text;
        form.Link().ReplyTime = {2026, 12, 7, 10, 11, 12, 0};
        form.OnWorkerMessage(WorkerMessage::Reply);
    }
    // A log line without its date-time text.
    static std::string Message(const std::string& line) { return line.substr(std::string("07.12.2026 22:38:46 ").size()); }
    std::string LastMessage() const { return view.log.empty() ? "" : Message(view.log.back()); }
    // The stored settings switch the NUT server on, on a port free a moment ago.
    uint16_t StoreNutServerOnAFreePort() {
        boost::asio::io_context io;
        boost::asio::ip::tcp::acceptor probe(io, {boost::asio::ip::tcp::v4(), 0});
        const uint16_t port = probe.local_endpoint().port();
        probe.close();
        store.Put(kKey, "NUT Server", StoredValue::Dword(1));
        store.Put(kKey, "NUT Port", StoredValue::String(std::to_string(port)));
        return port;
    }
};

TEST_F(MainForm, ReplyIsShownEvaluatedAndTheSpinnerTurns) {
    Reply("(000.0 230.0 229.0 013 50.0 13.6 25.0 10001001#");
    EXPECT_EQ(view.report, "(000.0 230.0 229.0 013 50.0 13.6 25.0 10001001#");
    EXPECT_EQ(view.timeText, "10:11:12");
    EXPECT_EQ(statusView.fields[1], "000.0");
    EXPECT_TRUE(delayTimer.enabled);
    ASSERT_FALSE(view.log.empty());
    EXPECT_EQ(view.log.back(), "07.12.2026 22:38:46 Power Fail");
    for (int i = 0; i < 8; ++i) Reply("");
    EXPECT_EQ(view.spinnerHistory, (std::vector<std::string>{"|", "/", "-", "\\", "|", "/", "-", "\\", "|"}));
    EXPECT_EQ(pump.messages, 9);  // repaint between replies
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(MainForm, FaultInTheEvaluationCostsOneReplyAndIsLoggedOnce) {
    statusView.throwOn = "666.0";
    const std::string bad = "(666.0 230.0 229.0 013 50.0 13.6 25.0 00001001#";
    EXPECT_NO_THROW(Reply(bad));
    EXPECT_NO_THROW(Reply(bad));
    Reply("(000.0 230.0 229.0 013 50.0 13.6 25.0 10001001#");
    Reply(bad);
    std::vector<std::string> messages;
    for (const auto& line : view.log) messages.push_back(Message(line));
    const std::string failed = "Status evaluation failed: cannot show 666.0";
    EXPECT_EQ(messages, (std::vector<std::string>{failed, "Power Fail", failed}));
}

// The repaint pump inside the worker's hand-off may meet the countdown's
// expiry; the action must wait until the worker is released.
TEST_F(MainForm, ExpiryMetDuringTheHandOffRunsAfterIt) {
    form.Live().Action = 4;
    form.Live().ExternalProgramRun = true;
    form.Live().ExternalProgramName = "C:\\x.cmd";
    pump.onMessages = [&] {
        if (delayTimer.enabled) form.PowerFailPolicy().DelayTimerTimer();
    };
    Reply("(000.0 230.0 229.0 013 50.0 13.6 25.0 10001001#");
    EXPECT_EQ(launcher.starts, 0);
    EXPECT_TRUE(delayTimer.enabled);
    EXPECT_EQ(delayTimer.interval, PowerFailPolicy::kHeldExpiryMs);
    pump.onMessages = nullptr;
    form.PowerFailPolicy().DelayTimerTimer();
    EXPECT_EQ(launcher.starts, 1);
}

// A dead port or a silent UPS: said once, the readings cleared, a reconnect
// (close, reopen, detect) at once and then at most every 30 s, and said once
// again when the UPS answers.
TEST_F(MainForm, SilentUpsIsReportedOnceReconnectedAtMostEvery30sAndWelcomedBack) {
    ports.present[2] = true;
    Reply(kStatus);
    form.Link().ComActive = true;
    form.Link().ComPort = 2;
    form.Link().ComHandle = std::make_unique<FakeSerial>(time);
    const auto failedPoll = [&] {
        time.nowMs += 4000;
        form.OnWorkerMessage(WorkerMessage::FailedPoll);
    };
    for (int i = 0; i < 4; ++i) failedPoll();
    EXPECT_TRUE(ports.opened.empty());
    EXPECT_EQ(statusView.fields[1], "230.0");
    failedPoll();
    EXPECT_EQ(LastMessage(), "UPS not responding");
    EXPECT_EQ(statusView.fields[1], "");
    EXPECT_EQ(form.Shown().Current()->reading.IPVoltage.text, "");  // stale for every reader
    EXPECT_FALSE(form.Shown().Current()->live.responding);
    EXPECT_EQ(ports.opened, std::vector<int>{2});
    EXPECT_TRUE(form.Link().Q1Supported);  // a failed try keeps the protocol polled
    for (int i = 0; i < 7; ++i) failedPoll();  // 28 s
    EXPECT_EQ(ports.opened.size(), 1u);
    failedPoll();
    EXPECT_EQ(ports.opened.size(), 2u);
    form.Link().Monitoring = true;
    Reply(kStatus);
    Reply(kStatus);
    std::vector<std::string> said;  // the virtual clock runs past :59, so cut at the text
    for (const auto& line : view.log)
        if (const auto at = line.find(" UPS "); at != std::string::npos) said.push_back(line.substr(at + 1));
    EXPECT_EQ(said, (std::vector<std::string>{"UPS not responding", "UPS responding again"}));
    EXPECT_EQ(statusView.fields[1], "230.0");
    EXPECT_EQ(form.Shown().Current()->reading.IPVoltage.text, "230.0");
    EXPECT_TRUE(form.Shown().Current()->upsFound);
}

// Once the link is lost the window blanks its fields; every document made
// from the snapshot says the same: the page and the JSON alike give no
// reading of the last reply as if it were current.
TEST_F(MainForm, AfterALostLinkThePageAndTheJsonGiveTheSameBlankReadings) {
    Reply(kStatus);
    for (int i = 0; i < 5; ++i) {
        time.nowMs += 4000;
        form.OnWorkerMessage(WorkerMessage::FailedPoll);
    }
    ASSERT_EQ(statusView.fields[1], "");
    const auto shown = form.Shown().Current();
    const std::vector<std::string> page = ComposeReportPage(*shown, TUPSSettings{}, "now");
    EXPECT_NE(std::find(page.begin(), page.end(), "I/P Voltage =  V</br>"), page.end());
    const std::string json = StatusJson(*shown, "ups");
    for (const char* reading : {"230.0", "229.0", "13.6", "\"reply\":\"("})
        EXPECT_EQ(json.find(reading), std::string::npos) << reading << " in " << json;
    EXPECT_NE(json.find("\"responding\":false"), std::string::npos) << json;
}

// The runtime and the watts reach the status page and the snapshot with each
// reply: the watts from the rating, the runtime once the writer handed over a
// lesson, the line's kind from the power-fail bit.
TEST_F(MainForm, TheRuntimeAndTheWattsFollowTheRatingTheLessonsAndTheMains) {
    FakeHid& ups = hid.Add(time, 0x0665, 0x5161, "Rack UPS");
    ups.QueueReply(kStatus);
    form.Live().F = false;
    form.StartAExecute();
    ASSERT_TRUE(form.Link().Monitoring);
    form.Live().UPSRatingW = 1000;
    Reply(kStatus);  // 13 % of 1000 W
    EXPECT_EQ(statusView.power, (ShownPower{std::nullopt, std::nullopt, 130.0, 1000.0}));
    EXPECT_FALSE(statusView.powerOnBattery);

    // 30 % of charge in 600 s at 30 % load: at 13 % a full battery lasts 100 / (13 / 600) s.
    form.Engine().Lessons().Set(std::vector<Discharge>{{600, 100, 70, 30}});
    Reply("(000.0 230.0 229.0 013 50.0 13.6 25.0 10001001\r");
    EXPECT_EQ(statusView.power.fullChargeRuntimeSeconds, 4615);
    EXPECT_TRUE(statusView.power.runtimeSeconds);
    EXPECT_TRUE(statusView.powerOnBattery);
    EXPECT_EQ(form.Shown().Current()->live.power, statusView.power);
}

// Readers on other threads learn of a detection, a failed search and a link
// gone at once, not at the next reply understood (which may never come).
TEST_F(MainForm, TheSnapshotFollowsDetectionFailedSearchAndLostLinkWithoutAReply) {
    FakeHid& ups = hid.Add(time, 0x0665, 0x5161, "Rack UPS");
    ups.QueueReply(kStatus);
    form.Live().F = false;
    form.StartAExecute();
    ASSERT_TRUE(form.Link().Monitoring);
    auto shown = form.Shown().Current();
    EXPECT_TRUE(shown->upsFound);
    EXPECT_TRUE(shown->live.responding);
    EXPECT_EQ(shown->identity, (UpsIdentityText{"0665", "5161", "Rack UPS"}));
    EXPECT_EQ(shown->device.protocol, "Megatec");

    form.HidDiscovery().HIDRemoval(ups);
    EXPECT_FALSE(form.Shown().Current()->live.responding);

    Reply(kStatus);
    ASSERT_TRUE(form.Shown().Current()->upsFound);
    form.StartAExecute();  // nothing answers now
    shown = form.Shown().Current();
    EXPECT_FALSE(shown->upsFound);
    EXPECT_FALSE(shown->live.responding);
    EXPECT_FALSE(LastReply(*shown));  // the readings before the search are no UPS's now
}

// FSD set by a primary over TCP reaches every reader of the snapshot (the
// page's JSON among them) without waiting for the next reply.
TEST_F(MainForm, APrimarysFsdIsPublishedAtOnce) {
    const uint16_t port = StoreNutServerOnAFreePort();
    store.Put(kKey, "NUT User", StoredValue::String("upsmon"));
    store.Put(kKey, "NUT Password", StoredValue::String("secret"));
    ASSERT_TRUE(form.FormCreate({}));
    ASSERT_TRUE(form.NutServer().Active());
    const std::string replies = Exchange(port, "USERNAME upsmon\nPASSWORD secret\nFSD ups\nLOGOUT\n");
    ASSERT_NE(replies.find("OK FSD-SET"), std::string::npos) << replies;
    EXPECT_TRUE(post.RunUntil([&] { return form.Shown().Current()->live.forcedShutdown; }));
}

TEST_F(MainForm, StoppedMonitoringShowsOnlyTheSpinner) {
    form.Link().ReplyText = "(1#";
    form.OnWorkerMessage(WorkerMessage::Reply);
    EXPECT_EQ(view.report, "");
    EXPECT_EQ(view.spinner, "|");
}

// A sleep stops the report timers and the resume starts those whose reports are on.
TEST_F(MainForm, ReportTimersStopForASleepAndRunAgainAfterIt) {
    form.Live().SMTPReports = true;
    form.SMTPReportsCBClick();
    form.PowerActions().WMPowerBroadcast(kPbtApmSuspend);
    EXPECT_FALSE(smtpTimer.enabled);
    form.PowerActions().WMPowerBroadcast(kPbtApmResumeAutomatic);
    EXPECT_TRUE(smtpTimer.enabled);
    EXPECT_FALSE(lanTimer.enabled);  // its reports are off
    EXPECT_EQ(lock.depth, 0);
}

TEST_F(MainForm, WorkerFailureIsOnlyLogged) {
    form.OnWorkerMessage(WorkerMessage::Failed);
    EXPECT_EQ(view.log, std::vector<std::string>{"07.12.2026 22:38:46 I/O Thread failed"});
    EXPECT_TRUE(view.spinnerHistory.empty());
}

TEST_F(MainForm, SerialConnectDetectsAndStartsMonitoring) {
    ports.present = {{1, true}};
    form.Live().SMTPReports = true;
    // Dialogs that may stay open for minutes are shown with the data lock let go.
    std::vector<int> depthsWhileAsking;
    dialog.onShow = batteryView.onAsk = [&] { depthsWhileAsking.push_back(lock.depth); };
    form.StartAExecute();
    EXPECT_EQ(depthsWhileAsking, (std::vector<int>{0, 0}));
    // The fake port echoes nothing by default: detection fails and the port is forgotten.
    EXPECT_FALSE(form.Link().Monitoring);
    EXPECT_EQ(form.Link().ComPort, 0);
    EXPECT_EQ(form.Link().ComHandle, nullptr);
    EXPECT_EQ(feedback.status, "Supported protocol UPS not detected!");
    EXPECT_EQ(lock.depth, 0);
    EXPECT_FALSE(smtpTimer.enabled);
}

TEST_F(MainForm, UsbComesFirstAndArrivalRemovalFollowIt) {
    FakeHid& ups = hid.Add(time, 0x0665, 0x5161, "");
    ups.QueueReply(kStatus);
    hid.Add(time, 0x845E, 0x0001, "Wine mouse");
    form.Live().F = false;
    form.StartAExecute();
    EXPECT_TRUE(form.Link().UsbActive);
    EXPECT_TRUE(form.Link().Monitoring);
    EXPECT_TRUE(ports.opened.empty());  // no serial scan
    EXPECT_EQ(hidList.entries, std::vector<std::string>{"Device VID=665 PID=5161"});
    EXPECT_EQ(feedback.status, "Megatec protocol UPS detected: USB: VID: 0x0665 PID: 0x5161");
    EXPECT_EQ(LastMessage(), "Start Monitoring");
    EXPECT_TRUE(view.stopEnabled);

    form.HidDiscovery().HIDRemoval(*hid.devices[1]);  // not the UPS: logged only
    EXPECT_TRUE(form.Link().Monitoring);
    form.HidDiscovery().HIDRemoval(ups);
    EXPECT_FALSE(form.Link().Monitoring);
    EXPECT_FALSE(form.Link().UsbActive);
    EXPECT_EQ(Message(view.log.end()[-2]), "Device(s) VID:0x0665 PID:0x5161 removed");
    EXPECT_EQ(LastMessage(), "Stop Monitoring");
    EXPECT_FALSE(view.stopEnabled);  // the Stop button follows whoever stops

    ups.QueueReply(kStatus);
    form.HidDiscovery().HIDArrival(ups);
    EXPECT_TRUE(form.Link().Monitoring);
    EXPECT_EQ(LastMessage(), "Start Monitoring");
    EXPECT_TRUE(view.stopEnabled);
    EXPECT_EQ(batteryView.asked, 1);  // the arrival keeps the voltage the user gave

    form.StartAExecute();  // the UPS no longer answers: the start fails
    EXPECT_FALSE(form.Link().Monitoring);
    EXPECT_FALSE(view.stopEnabled);
}

TEST_F(MainForm, ArrivalBeforeTheFirstStartTickIsOnlyLogged) {
    FakeHid& ups = hid.Add(time, 0x0665, 0x5161);
    startTimer.enabled = true;
    form.HidDiscovery().HIDArrival(ups);
    EXPECT_FALSE(form.Link().Monitoring);
    EXPECT_EQ(view.log, std::vector<std::string>{"07.12.2026 22:38:46 Device(s) VID:0x0665 PID:0x5161 arrived"});
}

TEST_F(MainForm, StopClearsMonitoringAndSwapsTheButtons) {
    form.Link().Monitoring = true;
    view.stopEnabled = true;
    smtpTimer.enabled = true;
    form.StopAExecute();
    EXPECT_FALSE(form.Link().Monitoring);
    EXPECT_EQ(view.log.back(), "07.12.2026 22:38:46 Stop Monitoring");
    EXPECT_TRUE(view.startEnabled);
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_FALSE(smtpTimer.enabled);
}

TEST_F(MainForm, RefreshIntervalFollowsTheLiveSetting) {
    form.Live().RefreshInterval = 1;
    form.RefreshUDClick();
    EXPECT_EQ(form.Link().RefreshIntervalMs, 1000u);
}

TEST_F(MainForm, CreateLoadsTheSettingsAndArmsTheStart) {
    store.Put(kKey, "Refresh Interval", StoredValue::Dword(0));
    store.Put(kKey, "COM Port", StoredValue::Dword(3));
    store.Put(kKey, "Balloon Hints", StoredValue::String("yes"));
    ASSERT_TRUE(form.FormCreate({"/A", "/I1234:ABCD"}));
    EXPECT_EQ(form.Link().RefreshIntervalMs, 1000u);  // clamped to one second
    EXPECT_EQ(form.Link().ComPort, 3);
    EXPECT_EQ(view.errors, std::vector<std::string>{"Invalid data type for 'Balloon Hints'"});
    ASSERT_TRUE(view.shownSettings);
    EXPECT_EQ(view.shownSettings->LANServer, "OFFICE-PC");
    EXPECT_EQ(view.availability.size(), 2u);
    EXPECT_EQ(view.osLabel, " Windows 7 6.1.7601 Service Pack 1 x64");
    EXPECT_EQ(view.fileVersion, "1.0.0.0");
    EXPECT_EQ(view.forceOptions, false);
    EXPECT_EQ(view.aboutBoxes, 1);
    EXPECT_TRUE(startTimer.enabled);
    EXPECT_EQ(startTimer.interval, 100u);

    FakeHid& extra = hid.Add(time, 0x1234, 0xABCD);
    form.Live().Q1 = form.Live().QS = form.Live().F = false;
    form.StartTimerTimer();
    EXPECT_FALSE(startTimer.enabled);
    EXPECT_TRUE(form.Link().UsbActive == false);  // found, but nothing detected: cleared
    EXPECT_EQ(hidList.entries, std::vector<std::string>{"UPS"});
    (void)extra;
}

TEST_F(MainForm, TheWorkerLowersItsOwnPriorityAndHandsEachPollToTheMainThread) {
    store.Put(kKey, "Refresh Interval", StoredValue::Dword(1));  // the worker's pauses are real time
    FakeHid& ups = hid.Add(time, 0x0665, 0x5161);
    ups.QueueReply(kStatus);
    form.Live().F = false;
    ASSERT_TRUE(form.FormCreate({}));
    form.StartTimerTimer();
    {
        DataLockGuard guard(lock);  // the worker polls under the lock
        ASSERT_TRUE(form.Link().Monitoring);
        ups.QueueReply(kStatus);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (mainThread.handOffs == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GT(mainThread.handOffs, 0);
    std::lock_guard guard(system.m);
    ASSERT_EQ(system.priorities.size(), 2u);
    EXPECT_EQ(system.priorities[0].priority, ThreadPriority::Normal);  // the main thread's, at start-up
    EXPECT_EQ(system.priorities[0].thread, std::this_thread::get_id());
    EXPECT_EQ(system.priorities[1].priority, ThreadPriority::Idle);
    EXPECT_NE(system.priorities[1].thread, std::this_thread::get_id());
}

// The saved switch starts the server only with the page's credentials in; the
// box follows the user; a port that is no number or cannot be listened on is
// said, and the port field follows whether the server listens.
TEST_F(MainForm, ThePageServerFollowsItsBoxAndSaysWhatKeepsItOff) {
    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor busy(io, {boost::asio::ip::tcp::v4(), 0});
    const uint16_t taken = busy.local_endpoint().port();
    boost::asio::ip::tcp::acceptor probe(io, {boost::asio::ip::tcp::v4(), 0});
    const uint16_t port = probe.local_endpoint().port();
    probe.close();

    store.Put(kKey, "HTTP Server", StoredValue::Dword(1));
    store.Put(kKey, "HTTP Port", StoredValue::String(std::to_string(port)));
    store.Put(kKey, "HTTP User", StoredValue::String("admin"));
    ASSERT_TRUE(form.FormCreate({}));
    ASSERT_TRUE(form.PageServer().Active());
    EXPECT_EQ(view.httpPortEditable, false);
    EXPECT_NE(Exchange(port, "GET / HTTP/1.0\r\n\r\n").find("401"), std::string::npos);
    const std::string authorized = Exchange(port, "GET / HTTP/1.0\r\nAuthorization: Basic YWRtaW46\r\n\r\n");
    EXPECT_NE(authorized.find("UPS not found!</br>"), std::string::npos) << authorized;

    form.Live().HTTPServer = false;
    form.HTTPCBClick();
    EXPECT_FALSE(form.PageServer().Active());
    EXPECT_EQ(view.httpPortEditable, true);

    form.Live().HTTPServer = true;
    for (const std::string& text : {std::string("80a"), std::to_string(taken), std::string("70000")}) {
        form.Live().HTTPPort = text;
        form.HTTPCBClick();
        EXPECT_FALSE(form.PageServer().Active()) << text;
    }
    EXPECT_EQ(view.errors, (std::vector<std::string>{"'80a' is not a valid integer value",
                                                     "Could not bind socket. Address and port are already in use.",
                                                     "Could not bind socket. Address and port are already in use."}));
    EXPECT_EQ(view.httpPortEditable, true);
    EXPECT_TRUE(form.Live().HTTPServer);  // the box stays checked

    form.Live().HTTPAuthentication = true;
    form.HTTPAuthCBClick();
    EXPECT_EQ(view.httpCredentialsEditable, true);
}

// The NUT server starts from the stored settings once they are all in, tells
// about a host entry it cannot use, and names the UPS by an identifier that is
// made once and stored at once.
TEST_F(MainForm, TheNutServerStartsFromTheStoredSettingsWithAKeptDeviceId) {
    const uint16_t port = StoreNutServerOnAFreePort();
    store.Put(kKey, "NUT Allowed Hosts", StoredValue::String("192.168.1.0/24, nas.local"));
    ASSERT_TRUE(form.FormCreate({}));
    ASSERT_TRUE(form.NutServer().Active());
    EXPECT_EQ(form.NutServer().Port(), port);
    EXPECT_EQ(view.nutPortEditable, false);
    EXPECT_TRUE(std::any_of(view.log.begin(), view.log.end(), [](const std::string& line) {
        return line.ends_with("NUT: allowed host 'nas.local' is not an address or range; ignored");
    }));
    const StoredValue* id = store.Find(kKey, "NUT Device Id");
    ASSERT_NE(id, nullptr);
    EXPECT_TRUE(std::regex_match(id->text, std::regex("VT-[0-9A-F]{16}"))) << id->text;
    EXPECT_EQ(form.Live().NUTDeviceId, id->text);

    form.Live().NUTServer = false;
    form.NUTCBClick();
    EXPECT_FALSE(form.NutServer().Active());
    EXPECT_EQ(view.nutPortEditable, true);
}

// A stored UPS name NUT clients could not split (typed into the registry by
// hand, or kept from an older version) gives way to "ups", and the log says so.
TEST_F(MainForm, AStoredUpsNameClientsCannotUseFallsBackToUps) {
    store.Put(kKey, "NUT UPS Name", StoredValue::String("rack 1"));
    ASSERT_TRUE(form.FormCreate({}));
    EXPECT_EQ(form.Live().NUTUPSName, "ups");
    EXPECT_TRUE(std::any_of(view.log.begin(), view.log.end(), [](const std::string& line) {
        return line.ends_with("NUT UPS Name 'rack 1' holds more than letters, digits, '.', '_' and '-'; \"ups\" is used");
    }));
}

TEST_F(MainForm, UnsupportedSystemEndsSilently) {
    system.os.platformId = 1;
    EXPECT_FALSE(form.FormCreate({}));
    EXPECT_TRUE(store.keys.empty());
    EXPECT_FALSE(startTimer.enabled);
}

TEST_F(MainForm, CloseHidesUnlessExitWasAsked) {
    EXPECT_FALSE(form.FormCloseQuery());
    EXPECT_EQ(view.minimizes, 1);
    EXPECT_TRUE(form.WMQueryEndSession());
    EXPECT_TRUE(form.FormCloseQuery());
    form.ExitAExecute();
    EXPECT_EQ(view.closes, 1);
}

TEST_F(MainForm, FormCloseLowersDtrBeforeClosingAndSaves) {
    auto port = std::make_unique<FakeSerial>(time);
    FakeSerial* raw = port.get();
    bool destroyed = false;
    raw->destroyed = &destroyed;
    form.Link().ComHandle = std::move(port);
    form.Link().ComActive = true;
    form.Link().ComPort = 2;
    form.FormClose();
    EXPECT_TRUE(destroyed);
    ASSERT_NE(store.Find(kKey, "COM Port"), nullptr);
    EXPECT_EQ(store.Find(kKey, "COM Port")->dword, 2u);
    EXPECT_EQ(lock.depth, 0);
}

// A worker stuck in an exchange holds the data lock; the close must neither
// wait for it nor lose the settings.
TEST_F(MainForm, CloseWithAWorkerStuckHoldingTheLockStillSavesAndDoesNotWait) {
    store.Put(kKey, "COM Port", StoredValue::Dword(3));
    store.Put(kKey, "Refresh Interval", StoredValue::Dword(1));  // the worker's pauses are real time
    ASSERT_TRUE(form.FormCreate({}));
    std::atomic<bool> held{false}, release{false};
    std::thread stuck([&] {
        lock.Lock();
        held = true;
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        lock.Unlock();
    });
    while (!held) std::this_thread::yield();
    // Stuck means waiting for the lock: a worker still in its pause would see
    // the end asked for and finish.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (lock.waiting == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(lock.waiting, 1) << "the worker never came to the lock";
    form.Live().Delay = 120;
    auto closing = std::async(std::launch::async, [&] { form.FormClose(); });
    const bool closed = closing.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    release = true;
    stuck.join();
    closing.wait();
    EXPECT_TRUE(closed) << "the close waited for the data lock";
    EXPECT_FALSE(form.Finished());
    ASSERT_NE(store.Find(kKey, "Delay"), nullptr);
    EXPECT_EQ(store.Find(kKey, "Delay")->dword, 120u);
    ASSERT_NE(store.Find(kKey, "COM Port"), nullptr);  // the link's values stay as they were
    EXPECT_EQ(store.Find(kKey, "COM Port")->dword, 3u);
}

TEST_F(MainForm, SaveLogWritesEveryLineOrReportsTheError) {
    form.AddLogLine("Start Monitoring");
    form.SaveLogSBClick();
    EXPECT_EQ(view.proposedName, "Log_261207223846123.txt");
    EXPECT_TRUE(files.path.empty());

    view.savePath = "C:\\log.txt";
    form.SaveLogSBClick();
    EXPECT_EQ(files.bytes, "07.12.2026 22:38:46 Start Monitoring\r\n");

    files.ok = false;
    form.SaveLogSBClick();
    EXPECT_EQ(view.errors, std::vector<std::string>{"Cannot create file \"C:\\log.txt\". Access is denied"});
    EXPECT_EQ(form.EventLog().Lines().size(), 1u);

    form.ClearLogSBClick();
    EXPECT_TRUE(view.log.empty());
    files.ok = true;
    form.SaveLogSBClick();
    EXPECT_EQ(files.bytes, "");
}

TEST_F(MainForm, ChoosingAProgramLabelsItWithoutTickingRun) {
    view.programPath = "C:\\Tools\\very-long-folder\\shutdown-all.cmd";
    form.ExSBClick();
    EXPECT_EQ(form.Live().ExternalProgramName, view.programPath);
    EXPECT_EQ(view.program.caption, "C:\\Tools\\very-long-folder...");
    EXPECT_EQ(view.program.hint, *view.programPath);
    EXPECT_FALSE(form.Live().ExternalProgramRun);
}

}  // namespace
}  // namespace velt::test
