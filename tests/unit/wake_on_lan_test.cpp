#include <gtest/gtest.h>

#include <mutex>

#include "app/wake_on_lan.h"
#include "fakes.h"
#include "net/asio.h"
#include "net/udp_datagram_sender.h"
#include "queued_post.h"
#include "status/magic_packet.h"
#include "status/wake_hosts.h"
#include "status/wake_on_lan_rule.h"

namespace velt::test {
namespace {

constexpr MacAddress kMacA{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
constexpr MacAddress kMacB{0xaa, 0xbb, 0xcc, 0x0d, 0xee, 0xff};

// What a person types, and what is kept and what is named as left out.
TEST(WakeHosts, EntriesReadLenientlyAndABadOneIsLeftOutByName) {
    const struct {
        const char* text;
        std::vector<WakeHost> hosts;
        std::vector<std::string> problems;
    } cases[] = {
        {"", {}, {}},
        {" , ,", {}, {}},
        {"00:11:22:33:44:55", {{kMacA}}, {}},
        {" AA-BB-CC-0D-ee-FF , 00:11:22:33:44:55@192.168.1.255 ", {{kMacB}, {kMacA, "192.168.1.255"}}, {}},
        {"00:11:22:33:44:55 @ 10.0.0.255,", {{kMacA, "10.0.0.255"}}, {}},
        {"xyz,00:11:22:33:44:55", {{kMacA}}, {"Wake Hosts: 'xyz' is not a MAC address"}},
        {"00:11:22:33:44", {}, {"Wake Hosts: '00:11:22:33:44' is not a MAC address"}},
        {"00:11-22:33:44:55", {}, {"Wake Hosts: '00:11-22:33:44:55' is not a MAC address"}},
        {"00:11:22:33:44:5g", {}, {"Wake Hosts: '00:11:22:33:44:5g' is not a MAC address"}},
        {"001122334455", {}, {"Wake Hosts: '001122334455' is not a MAC address"}},
        {"00:11:22:33:44:55:66", {}, {"Wake Hosts: '00:11:22:33:44:55:66' is not a MAC address"}},
        {"00:11:22:33:44:55@", {}, {"Wake Hosts: '' is not an IPv4 address"}},
        {"00:11:22:33:44:55@lan.local", {}, {"Wake Hosts: 'lan.local' is not an IPv4 address"}},
        {"00:11:22:33:44:55@1.2.3.256,aa:bb:cc:0d:ee:ff@1.2.3",
         {},
         {"Wake Hosts: '1.2.3.256' is not an IPv4 address", "Wake Hosts: '1.2.3' is not an IPv4 address"}},
        {"00:11:22:33:44:55@1.2.3.4.5", {}, {"Wake Hosts: '1.2.3.4.5' is not an IPv4 address"}},
        {"00:11:22:33:44:55@1..3.4", {}, {"Wake Hosts: '1..3.4' is not an IPv4 address"}},
        {"00:11:22:33:44:55@-1.2.3.4", {}, {"Wake Hosts: '-1.2.3.4' is not an IPv4 address"}},
        {"00:11:22:33:44:55@0001.2.3.4", {}, {"Wake Hosts: '0001.2.3.4' is not an IPv4 address"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const WakeHostList list = ParseWakeHosts(c.text);
        EXPECT_EQ(list.hosts, c.hosts);
        EXPECT_EQ(list.problems, c.problems);
    }
    EXPECT_EQ(MacText(kMacB), "aa:bb:cc:0d:ee:ff");
}

TEST(MagicPacket, SixFFsThenTheMacSixteenTimes) {
    const auto packet = MagicPacket(kMacB);
    ASSERT_EQ(packet.size(), 102u);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(packet[i], 0xFF) << i;
    for (size_t i = 6; i < packet.size(); ++i) EXPECT_EQ(packet[i], kMacB[(i - 6) % 6]) << i;
}

// One reading of a timeline: minutes since the start, the mains, the charge,
// a shutdown under way, and whether the hosts are woken right then.
struct Step {
    double minute;
    bool powerFail;
    std::optional<double> charge;
    bool shuttingDown;
    bool sends;
};

void Play(const char* name, const WakeLimits& limits, const std::vector<Step>& steps) {
    WakeOnLanRule rule;
    for (const Step& s : steps) {
        const WakeReading reading{s.powerFail, s.charge, s.shuttingDown, static_cast<uint64_t>(s.minute * 60000)};
        EXPECT_EQ(rule.Observe(reading, limits), s.sends) << name << " at minute " << s.minute;
    }
}

TEST(WakeOnLanRule, WaitsForTheDelayOfMainsAndTheChargeThenSendsOncePerReturn) {
    constexpr bool F = true, M = false;  // failure, mains
    Play("mains from the start never wake", {5, 50}, {{0, M, 100, false, false}, {60, M, 100, false, false}});
    Play("delay of mains, then once",
         {5, 50},
         {{0, F, 80, false, false}, {1, M, 80, false, false}, {5.99, M, 80, false, false}, {6, M, 80, false, true},
          {7, M, 80, false, false}, {60, M, 80, false, false}});
    Play("a new failure disarms; the next return starts the delay again",
         {5, 50},
         {{0, F, 80, false, false}, {1, M, 80, false, false}, {4, F, 80, false, false}, {6.5, F, 80, false, false},
          {7, M, 80, false, false}, {11.9, M, 80, false, false}, {12, M, 80, false, true}});
    Play("a low charge holds the send until it reaches the minimum",
         {5, 50},
         {{0, F, 30, false, false}, {1, M, 30, false, false}, {6, M, 49.9, false, false}, {30, M, 50, false, true},
          {31, M, 90, false, false}});
    Play("a failure while waiting for the charge disarms",
         {5, 50},
         {{0, F, 30, false, false}, {1, M, 30, false, false}, {7, M, 40, false, false}, {8, F, 40, false, false},
          {9, F, 60, false, false}, {9.5, M, 60, false, false}, {14.5, M, 60, false, true}});
    Play("no charge known: sent anyway",
         {5, 100}, {{0, F, {}, false, false}, {1, M, {}, false, false}, {6, M, {}, false, true}});
    Play("delay 0 sends at the return itself", {0, 0}, {{0, F, 0, false, false}, {0.1, M, 0, false, true}});
    Play("a return while shutting down never wakes",
         {0, 0},
         {{0, F, 80, false, false}, {1, M, 80, true, false}, {2, M, 80, false, false}, {60, M, 80, false, false}});
    Play("a shutdown begun while waiting cancels",
         {5, 50},
         {{0, F, 80, false, false}, {1, M, 80, false, false}, {3, M, 80, true, false}, {6, M, 80, false, false},
          {60, M, 80, false, false}});
    Play("the longest delay", {120, 50}, {{0, F, 80, false, false}, {0, M, 80, false, false},
                                          {119.99, M, 80, false, false}, {120, M, 80, false, true}});
}

// Records every datagram; fails those sent to one address.
struct FakeSender : IDatagramSender {
    struct Sent {
        std::string address;
        uint16_t port;
        std::vector<uint8_t> bytes;
    };
    std::mutex mutex;
    std::vector<Sent> sent;
    std::string failing;
    std::string SendDatagram(const std::string& ipv4, uint16_t port, std::span<const uint8_t> bytes) override {
        std::lock_guard guard(mutex);
        sent.push_back({ipv4, port, {bytes.begin(), bytes.end()}});
        return ipv4 == failing ? "Network is unreachable" : "";
    }
};

struct WakeRig {
    TUPSSettings live;
    VirtualTime time;
    FakeLog log;
    QueuedPost post;
    FakeSender sender;
    std::unique_ptr<WakeOnLan> wake;
    explicit WakeRig(const std::string& hosts, bool mayWake = true) {
        live.WakeHosts = hosts, live.WakeDelay = 1, live.WakeMinCharge = 50;
        wake = std::make_unique<WakeOnLan>(
            WakeOnLanDeps{live, time, log, post, sender, mayWake, std::chrono::milliseconds(0)});
        wake->LoadHosts();
    }
    // A failure, then a minute of mains.
    void FailAndReturn() {
        wake->Observe(true, 80, false);
        wake->Observe(false, 80, false);
        time.nowMs += 60000;
        wake->Observe(false, 80, false);
    }
};

TEST(WakeOnLan, EachHostGetsThreePacketsAndOneLineAndABadEntryIsLoggedOncePerLoad) {
    WakeRig rig("00:11:22:33:44:55@10.0.0.255, nonsense, aa-bb-cc-0d-ee-ff");
    rig.sender.failing = "255.255.255.255";
    EXPECT_EQ(rig.log.lines, (std::vector<std::string>{"Wake Hosts: 'nonsense' is not a MAC address"}));
    rig.FailAndReturn();
    ASSERT_TRUE(rig.post.RunUntil([&] { return rig.log.lines.size() == 3; }));
    EXPECT_EQ(rig.log.lines[1], "Wake-on-LAN sent to 00:11:22:33:44:55");
    EXPECT_EQ(rig.log.lines[2], "Wake-on-LAN to aa:bb:cc:0d:ee:ff not sent: Network is unreachable");
    std::lock_guard guard(rig.sender.mutex);
    ASSERT_EQ(rig.sender.sent.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const auto& s = rig.sender.sent[i];
        EXPECT_EQ(s.address, i % 2 == 0 ? "10.0.0.255" : "255.255.255.255");
        EXPECT_EQ(s.port, 9);
        const auto packet = MagicPacket(i % 2 == 0 ? kMacA : kMacB);
        EXPECT_EQ(s.bytes, std::vector<uint8_t>(packet.begin(), packet.end()));
    }
}

TEST(WakeOnLan, AWindowWatchingTheServiceAndAnEmptyListSendNothing) {
    for (const auto& [hosts, mayWake] : {std::pair{"00:11:22:33:44:55", false}, std::pair{"", true}}) {
        WakeRig rig(hosts, mayWake);
        rig.FailAndReturn();
        rig.wake.reset();  // joins any send
        rig.post.RunUntil([&] { return rig.post.tasks.empty(); });
        EXPECT_TRUE(rig.sender.sent.empty()) << hosts;
        EXPECT_TRUE(rig.log.lines.empty()) << hosts;
    }
}

// Gone while its send waits between rounds: the wait ends at once and the
// lines it posts are dropped.
TEST(WakeOnLan, ASendUnderWayGivesUpItsWaitWhenItsOwnerGoes) {
    WakeRig rig("00:11:22:33:44:55");
    rig.wake = std::make_unique<WakeOnLan>(
        WakeOnLanDeps{rig.live, rig.time, rig.log, rig.post, rig.sender, true, std::chrono::hours(1)});
    rig.wake->LoadHosts();
    rig.FailAndReturn();
    const auto start = std::chrono::steady_clock::now();
    rig.wake.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    rig.post.RunUntil([&] { return rig.post.tasks.empty(); });
    EXPECT_TRUE(rig.log.lines.empty());
    EXPECT_EQ(rig.sender.sent.size(), 1u);
}

// The real socket: the packet arrives whole at a listener on the loopback.
TEST(UdpDatagramSender, APacketReachesAListenerAndABadAddressIsRefused) {
    namespace ip = boost::asio::ip;
    boost::asio::io_context io;
    ip::udp::socket listener(io, ip::udp::endpoint(ip::make_address_v4("127.0.0.1"), 0));
    const auto packet = MagicPacket(kMacA);
    UdpDatagramSender sender;
    EXPECT_EQ(sender.SendDatagram("127.0.0.1", listener.local_endpoint().port(), packet), "");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (listener.available() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_GT(listener.available(), 0u);
    std::array<uint8_t, 200> received{};
    const size_t n = listener.receive(boost::asio::buffer(received));
    ASSERT_EQ(n, packet.size());
    EXPECT_TRUE(std::equal(packet.begin(), packet.end(), received.begin()));
    EXPECT_NE(sender.SendDatagram("lan.local", 9, packet), "");
}

}  // namespace
}  // namespace velt::test
