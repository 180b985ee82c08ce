// The NUT server as the form runs it: the peers' shutdown waits for real
// clients logged in over TCP, and refused hosts reach the log once each.
#include "app/nut_service.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "fakes.h"
#include "queued_post.h"
#include "status/ups_status.h"

namespace velt::test {
namespace {

// Real time, which a test may move on by hours.
struct SteadyClock : IClock, ISleeper {
    uint64_t aheadMs = 0;
    LocalDateTime Now() const override { return {}; }
    uint64_t MonotonicMs() const override {
        return aheadMs + static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                   std::chrono::steady_clock::now().time_since_epoch())
                                                   .count());
    }
    void Sleep(unsigned ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

struct Pump : IMessagePump {
    std::function<void()> during;
    void ProcessMessages() override {
        if (during) std::exchange(during, nullptr)();
    }
    void ProcessSentMessages() override {}
};


// A free loopback port, found by binding one and letting it go.
uint16_t FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

// A client that logs in as upsmon does; -1 when it could not.
int LoggedInClient(uint16_t port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return -1;
    const std::string login = "USERNAME monuser\nPASSWORD secret\nLOGIN ups\n";
    ::send(s, login.data(), login.size(), 0);
    std::string replies;
    char buffer[256];
    while (replies.find("OK\n", replies.find("OK\n", replies.find("OK\n") + 1) + 1) == std::string::npos) {
        const ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) return -1;
        replies.append(buffer, static_cast<size_t>(n));
    }
    return s;
}

struct Rig {
    ShownStatusPublisher shown;
    Published<TUPSSettings> settings;
    QueuedPost post;
    FakeLog log;
    Pump pump;
    SteadyClock clock;
    RecordingView view;
    int fsdChanges = 0;
    std::vector<std::string> sentToUps;
    bool upsKnowsCommands = true;
    NutService service{{shown, settings, post, log, pump, clock, clock, "1.0.0.0", [this] { ++fsdChanges; },
                        [this](const NutInstantCommand&, const std::string& bytes) {
                            sentToUps.push_back(bytes);
                            return upsKnowsCommands;
                        }}};

    explicit Rig(int32_t waitSeconds) {
        TUPSSettings s;
        s.NUTUser = "monuser";
        s.NUTPassword = "secret";
        s.NUTShutdownWait = waitSeconds;
        settings.Publish(s);
        service.Switch(true, FreePort(), view);
    }
};

TEST(NutService, PeersShutDownWaitsUntilTheLoggedInClientGoesOrTheWaitEnds) {
    for (const bool clientLeaves : {true, false}) {
        Rig r(clientLeaves ? 20 : 1);
        ASSERT_TRUE(r.service.Server().Active());
        const int client = LoggedInClient(r.service.Server().Port());
        ASSERT_GE(client, 0);
        ASSERT_TRUE(r.post.RunUntil([&] { return r.service.Server().LoggedInClients() == 1; }));
        // upsmon closes its connection after its shutdown command, without LOGOUT.
        if (clientLeaves) r.pump.during = [client] { ::close(client); };
        const auto started = std::chrono::steady_clock::now();
        r.service.ShutDownPeers();
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_TRUE(r.service.Server().ForcedShutdown());
        ASSERT_EQ(r.log.lines.size(), 2u);
        EXPECT_EQ(r.log.lines[0], "NUT: forced shutdown set; 1 client(s) logged in");
        if (clientLeaves) {
            EXPECT_EQ(r.log.lines[1], "NUT: all clients logged out; going on");
            EXPECT_LT(took, std::chrono::seconds(5));
        } else {
            EXPECT_EQ(r.log.lines[1], "NUT: 1 client(s) still logged in after 1 s; going on");
            EXPECT_GE(took, std::chrono::seconds(1));
            ::close(client);
        }
    }
}

// What the main thread publishes after a status reply with `inputVolts`.
ShownStatus Responding(const std::string& inputVolts) {
    ShownStatusParts parts;
    parts.reading = *ParseStatusReply("(" + inputVolts + " 140.0 220.0 013 50.1 13.6 25.0 00001001", {}, true, '.');
    parts.replied = parts.upsFound = parts.monitoring = parts.linkResponding = true;
    return ComposeShownStatus(std::move(parts));
}

std::string ValueOf(const NutSnapshot& snapshot, const std::string& name) {
    for (const NutVariable& v : snapshot.variables)
        if (v.name == name) return v.value;
    return "(absent)";
}

// The server reads the source for every request: what it gets follows each
// publish of the status and of the settings, and the forced shutdown, and is
// made again only then.
TEST(NutService, TheServedSnapshotFollowsEveryPublishAndTheForcedShutdown) {
    Rig r(0);
    EXPECT_TRUE(r.service.Current(false)->stale);
    r.shown.Publish(Responding("221.0"));
    const auto first = r.service.Current(false);
    EXPECT_FALSE(first->stale);
    EXPECT_EQ(ValueOf(*first, "input.voltage"), "221");
    EXPECT_EQ(r.service.Current(false), first);
    r.shown.Publish(Responding("198.0"));
    EXPECT_EQ(ValueOf(*r.service.Current(false), "input.voltage"), "198");
    EXPECT_EQ(ValueOf(*r.service.Current(true), "ups.status"), "FSD OL");
    EXPECT_EQ(ValueOf(*r.service.Current(false), "ups.status"), "OL");
    TUPSSettings settings = *r.settings.Current();
    settings.NUTDeviceId = "VT-00000000000000AB";
    r.settings.Publish(settings);
    EXPECT_EQ(ValueOf(*r.service.Current(false), "device.serial"), "VT-00000000000000AB");
    r.shown.Publish(ShownStatus{});
    EXPECT_TRUE(r.service.Current(false)->stale);
}

TEST(NutService, EachRefusedHostIsLoggedOnceAndNothingRunsAfterTheServiceEnds) {
    Rig r(0);
    r.service.HostRefused("192.0.2.7");
    r.service.HostRefused("192.0.2.7");
    r.service.HostRefused("2001:db8::1");
    r.post.RunUntil([&] { return r.post.tasks.empty(); });
    EXPECT_EQ(r.log.lines, (std::vector<std::string>{
                               "NUT: connection from 192.0.2.7 refused: not an allowed host",
                               "NUT: connection from 2001:db8::1 refused: not an allowed host"}));
    {
        Rig gone(0);
        gone.service.HostRefused("192.0.2.8");
        // The rig and its service end with the task still queued: it must not run.
        r.post.tasks.swap(gone.post.tasks);
    }
    r.post.RunUntil([&] { return r.post.tasks.empty(); });
    EXPECT_EQ(r.log.lines.size(), 2u);
}

TEST(NutService, TheSettingsAreReadAgainOnlyOnceRepublishedAndWrongPasswordsAreLogged) {
    Rig r(0);
    r.service.Stop();  // its source is called on the server's thread only
    const auto before = r.service.Config();
    EXPECT_EQ(r.service.Config(), before);
    TUPSSettings changed = *r.settings.Current();
    changed.NUTPassword = "changed";
    changed.NUTUPSName = "";  // the field emptied while the user types a new name
    r.settings.Publish(changed);
    EXPECT_EQ(r.service.Config()->password, "changed");
    EXPECT_EQ(r.service.Config()->upsName, "ups");
    r.service.LoginRefused("192.0.2.7", false);
    r.service.LoginRefused("192.0.2.7", true);
    r.post.RunUntil([&] { return r.post.tasks.empty(); });
    EXPECT_EQ(r.log.lines, (std::vector<std::string>{
                               "NUT: login from 192.0.2.7 refused: wrong user or password",
                               "NUT: login from 192.0.2.7 refused: wrong user or password; its logins are refused "
                               "for 60 s"}));
}

// The peers' shutdown and its cancel each tell the main thread of FSD once,
// so the snapshot carries it at once; a repeat is no change.
TEST(NutService, EachChangeOfFsdIsToldOnce) {
    Rig r(0);
    r.service.ShutDownPeers();
    EXPECT_EQ(r.fsdChanges, 1);
    r.service.CancelPeerShutdown();
    r.service.CancelPeerShutdown();
    EXPECT_EQ(r.fsdChanges, 2);
}

// A host cycling through its addresses must not fill the log: 300 are named,
// then one line says the rest are not, again at most hourly.
TEST(NutService, RefusedHostsAreLoggedUpToALimitThenOnceAnHour) {
    Rig r(0);
    const auto refuse = [&](int from, int to) {
        for (int i = from; i < to; ++i) r.service.HostRefused("2001:db8::" + std::to_string(i));
        r.post.RunUntil([&] { return r.post.tasks.empty(); });
    };
    refuse(0, 310);
    ASSERT_EQ(r.log.lines.size(), 301u);
    EXPECT_EQ(r.log.lines[299], "NUT: connection from 2001:db8::299 refused: not an allowed host");
    EXPECT_EQ(r.log.lines[300], "NUT: further refusals not logged");
    r.clock.aheadMs += 3599 * 1000;
    refuse(0, 320);
    EXPECT_EQ(r.log.lines.size(), 301u);
    r.clock.aheadMs += 1000;
    refuse(320, 330);
    EXPECT_EQ(r.log.lines.size(), 302u);
    EXPECT_EQ(r.log.lines.back(), "NUT: further refusals not logged");
}

// A client's command is only handed over on the server's thread: it is
// pending until the main thread, which alone may write to the UPS, has run
// it, logged it with the client's address, and learnt whether the UPS knew it.
TEST(NutService, InstantCommandsRunOnTheMainThreadAndTheirOutcomeIsTracked) {
    struct Case {
        const char* what;
        const char* command;
        std::function<void(TUPSSettings&, Rig&)> change;
        std::vector<std::string> sent;
        NutCommandState outcome;
    };
    const std::vector<Case> cases{
        {"a switch-off and return after the set delay", "shutdown.return",
         [](TUPSSettings& s, Rig&) { s.UPSShutdownDelay = 7; }, {"S07R0001\r"}, NutCommandState::Success},
        {"a command the UPS echoes", "beeper.toggle", [](TUPSSettings&, Rig& r) { r.upsKnowsCommands = false; },
         {"Q\r"}, NutCommandState::Failed},
        {"no UPS found", "test.battery.start.quick", [](TUPSSettings&, Rig& r) { r.shown.Publish(ShownStatus{}); },
         {}, NutCommandState::Failed},
        {"the box cleared after the server offered the command", "shutdown.stop",
         [](TUPSSettings& s, Rig&) { s.NUTCommands = false; }, {}, NutCommandState::Failed},
        {"the UPS read from another server since", "test.battery.stop",
         [](TUPSSettings& s, Rig&) { s.UPSSource = kUPSSourceNut; }, {}, NutCommandState::Failed},
    };
    for (const Case& c : cases) {
        Rig r(0);
        r.shown.Publish(Responding("221.0"));
        TUPSSettings settings = *r.settings.Current();
        settings.NUTCommands = true;
        c.change(settings, r);
        r.settings.Publish(settings);
        const std::string id = r.service.InstantCommand(c.command, "192.0.2.5");
        EXPECT_EQ(r.service.CommandState(id), NutCommandState::Pending) << c.what;
        EXPECT_TRUE(r.sentToUps.empty()) << c.what;
        ASSERT_TRUE(r.post.RunUntil([&] { return r.service.CommandState(id) != NutCommandState::Pending; }))
            << c.what;
        EXPECT_EQ(r.service.CommandState(id), c.outcome) << c.what;
        EXPECT_EQ(r.sentToUps, c.sent) << c.what;
        EXPECT_EQ(r.log.lines, std::vector<std::string>{std::string("NUT command ") + c.command + " from 192.0.2.5"})
            << c.what;
    }
}

// The commands are this computer's UPS's: they are offered only with the box
// checked and the UPS on this computer's own link.
TEST(NutService, CommandsAreOfferedOnlyForTheLocalUpsWithTheBoxChecked) {
    Rig r(0);
    r.service.Stop();
    const struct {
        bool box;
        int32_t source;
        bool offered;
    } cases[] = {{false, kUPSSourceLocal, false}, {true, kUPSSourceLocal, true}, {true, kUPSSourceNut, false}};
    for (const auto& c : cases) {
        TUPSSettings settings = *r.settings.Current();
        settings.NUTCommands = c.box;
        settings.UPSSource = c.source;
        r.settings.Publish(settings);
        EXPECT_EQ(r.service.Config()->commands, c.offered) << c.box << " " << c.source;
    }
}

}  // namespace
}  // namespace velt::test
