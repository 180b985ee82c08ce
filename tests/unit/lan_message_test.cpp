// One LAN message through both paths: the text and icon that go out, where
// they go, and what the status bar says for every answer of the system.
#include "reports/lan_message.h"

#include <gtest/gtest.h>

#include "lan_fakes.h"

namespace velt {
namespace {

using test::lan::FakeLanMessenger;
using Calls = std::vector<std::string>;

constexpr uint32_t kXp = 5, kVista = 6, kTen = 10;
const std::string kReport = "Report - 09.12.2025 10:00:00\r\n";
const std::string kFromReport = "From: UPSHOST\r\n" + kReport;

struct Case {
    const char* what;
    uint32_t os;
    void (*setUp)(FakeLanMessenger&);
    std::string body, server, computer;
    std::string status;
    Calls calls;
};

void Nothing(FakeLanMessenger&) {}

const Case kCases[] = {
    // messenger path
    {"delivered", kXp, Nothing, kReport, "OFFICE", "UPSHOST", "LAN Report sending success",
     {"messenger to OFFICE: " + kFromReport}},
    {"a 25-character name goes as its first 20", kXp, Nothing, kReport, "ABCDEFGHIJKLMNOPQRSTUVWXY", "UPSHOST",
     "LAN Report sending success", {"messenger to ABCDEFGHIJKLMNOPQRST: " + kFromReport}},
    {"access denied", kXp, [](FakeLanMessenger& m) { m.messengerAnswer = 5; }, kReport, "OFFICE", "UPSHOST",
     "User does not have access to the requested information!", {"messenger to OFFICE: " + kFromReport}},
    {"not supported", kXp, [](FakeLanMessenger& m) { m.messengerAnswer = 50; }, kReport, "OFFICE", "UPSHOST",
     "This request is not supported!", {"messenger to OFFICE: " + kFromReport}},
    {"an empty name is refused", kXp, Nothing, kReport, "", "UPSHOST", "The specified parameter is invalid!",
     {"messenger to : " + kFromReport}},
    {"a text over the message limit is refused", kXp, Nothing, std::string(700, 'x'), "OFFICE", "UPSHOST",
     "The specified parameter is invalid!", {"messenger to OFFICE: From: UPSHOST\r\n" + std::string(700, 'x')}},
    {"network error", kXp, [](FakeLanMessenger& m) { m.messengerAnswer = 2136; }, kReport, "OFFICE", "UPSHOST",
     "A general failure occurred in the network hardware!", {"messenger to OFFICE: " + kFromReport}},
    {"name not found", kXp, [](FakeLanMessenger& m) { m.messengerAnswer = 2273; }, kReport, "OFFICE", "UPSHOST",
     "The user name could not be found!", {"messenger to OFFICE: " + kFromReport}},
    {"any other code", kXp, [](FakeLanMessenger& m) { m.messengerAnswer = 1231; }, kReport, "OFFICE", "UPSHOST",
     "LAN Report sending failed", {"messenger to OFFICE: " + kFromReport}},
    {"messenger missing: the session send is not tried", kXp, [](FakeLanMessenger& m) { m.messengerSend = false; },
     kReport, "OFFICE", "UPSHOST", "LAN Report sending failed!", {}},
    {"unreadable computer name", kXp, Nothing, kReport, "OFFICE", "", "LAN Report sending success",
     {"messenger to OFFICE: From: \r\n" + kReport}},

    // terminal-services path
    {"warning notice", kVista, Nothing, "Warning - Power fail", "OFFICE", "UPSHOST", "LAN Report sending success",
     {"open OFFICE", "session 7 'Veltrano' style 48: From: UPSHOST\r\nWarning - Power fail", "close 7"}},
    {"information notice", kTen, Nothing, "Information - Power O.K.", "OFFICE", "UPSHOST",
     "LAN Report sending success",
     {"open OFFICE", "session 7 'Veltrano' style 64: From: UPSHOST\r\nInformation - Power O.K.", "close 7"}},
    {"report, 25-character name whole", kVista, Nothing, kReport, "ABCDEFGHIJKLMNOPQRSTUVWXY", "UPSHOST",
     "LAN Report sending success",
     {"open ABCDEFGHIJKLMNOPQRSTUVWXY", "session 7 'Veltrano' style 64: " + kFromReport, "close 7"}},
    {"body shorter than seven characters", kVista, Nothing, "Warn", "OFFICE", "UPSHOST",
     "LAN Report sending success", {"open OFFICE", "session 7 'Veltrano' style 64: From: UPSHOST\r\nWarn", "close 7"}},
    {"server cannot be opened", kVista, [](FakeLanMessenger& m) { m.server.reset(); }, kReport, "OFFICE", "UPSHOST",
     "Could not open server!", {"open OFFICE"}},
    {"without open and close: this computer, whatever the name", kTen,
     [](FakeLanMessenger& m) { m.serverOpenClose = false; }, kReport, "FAR-AWAY", "UPSHOST",
     "LAN Report sending success", {"session 0 'Veltrano' style 64: " + kFromReport}},
    {"delivery refused", kVista, [](FakeLanMessenger& m) { m.delivered = false; }, kReport, "OFFICE", "UPSHOST",
     "LAN Report sending failed!", {"open OFFICE", "session 7 'Veltrano' style 64: " + kFromReport, "close 7"}},
    {"session send missing: the messenger is not tried", kVista,
     [](FakeLanMessenger& m) { m.sessionSend = false; }, kReport, "OFFICE", "UPSHOST", "LAN Report sending failed!",
     {}},
};

TEST(LanMessage, EachPathSendsWhatItShouldAndReportsTheResult) {
    for (const Case& c : kCases) {
        FakeLanMessenger messenger;
        c.setUp(messenger);
        const std::string status = SendLanReport(messenger, {c.body, c.server, c.computer, c.os});
        EXPECT_EQ(status, c.status) << c.what;
        EXPECT_EQ(messenger.calls, c.calls) << c.what;
    }
}

}  // namespace
}  // namespace velt
