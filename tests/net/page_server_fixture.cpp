// Serves the status page of a fixed snapshot, for the page server's Python
// tests, its screenshot and its benchmark. Prints one line once it listens:
//   ready port=N head-deadline-ms=N idle-ms=N max-connections=N
// and runs until SIGINT or SIGTERM. Exits 2 when the port cannot be bound.
//
// Options: --port N (0: any free port), --user U, --password P, --not-found
// (no UPS found yet), --failure (mains lost, the countdown running),
// --not-responding (the UPS went silent after its last reply), --ups-name
// NAME, --head-deadline-ms N, --idle-ms N, --max-connections N, --history
// FILE (the history documents read it), --seed-history (first writes into it
// the two hours of minutes before now, 230 V, and a 300 s outage that ended
// 25 minutes ago).
#include <signal.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "net/http_page_server.h"
#include "reports/history_pages.h"
#include "reports/history_store.h"
#include "server_fixture.h"
#include "status/shown_status.h"

namespace {

using velt::PageRequest;
using velt::PageResponse;

std::string LocalTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &local);
    return text;
}

int LocalOffsetMinutes(std::time_t at) {
    std::tm local{};
    localtime_r(&at, &local);
    return static_cast<int>(local.tm_gmtoff / 60);
}

class FixedSource : public velt::IPageSource {
public:
    velt::ShownStatus shown;
    velt::TUPSSettings settings;
    std::unique_ptr<velt::HistoryReader> history;

    PageResponse Answer(const PageRequest& request) override {
        const std::time_t now = std::time(nullptr);
        const velt::HistoryAccess access{history.get(), now, LocalOffsetMinutes(now), std::nullopt};
        return velt::IdHTTPSCommandGet(request, shown, settings, LocalTimeText(), &access);
    }
};

struct Options {
    uint16_t port = 8080;
    velt::PageServerLimits limits;
    std::string historyFile;
    bool seedHistory = false;
};

struct UnusedClock : velt::IClock {
    velt::LocalDateTime Now() const override { return {2026, 1, 1, 0, 0, 0, 0, 0}; }
    uint64_t MonotonicMs() const override { return 0; }
};

bool SeedHistory(const std::string& file) {
    UnusedClock clock;
    velt::HistoryStoreOptions options;
    options.file = file;
    velt::HistoryStore store(options, clock, [](const std::string& line) { velt::test::PrintLine(line); });
    const int64_t now = std::time(nullptr), lastMinute = now - now % 60 - 60;
    for (int64_t m = 0; m < 120; ++m) {
        velt::MinuteRow row;
        row.minuteUtc = lastMinute - m * 60;
        row.utcOffsetMinutes = LocalOffsetMinutes(row.minuteUtc);
        row.values[0] = velt::MinuteStats{228, 230, 232};
        row.readings = 60;
        if (!store.WriteMinute(row)) return false;
    }
    velt::EventRow outage;
    outage.startUtc = now - 1800;
    outage.endUtc = now - 1500;
    outage.lowestCharge = 64;
    outage.action = "shutdown";
    return store.WriteEvent(outage);
}

// What the main thread has after `reply`, the first from a USB unit.
velt::ShownStatusParts AfterReply(const std::string& reply) {
    velt::ShownStatusParts parts;
    parts.reading = *velt::ParseStatusReply(reply, {2024, 2, 1, 10, 0, 0, 0, 60}, true, '.', 12);
    parts.replied = true;
    parts.identity = {"0665", "5161", "Mini UPS"};
    parts.upsFound = parts.monitoring = parts.linkResponding = true;
    parts.device = {"Megatec", true, 0x0665, 0x5161, std::nullopt, velt::RatedValues{220, 3, 12, 50}};
    parts.nominalBatteryVolts = 12;
    parts.emptyTenths = 97;
    parts.fullTenths = 135;
    return parts;
}

// Mains lost: comma decimals, a per-cell battery voltage, a temperature that
// does not convert, the countdown running, FSD set for the NUT clients, and an
// "I" reply whose texts hold a quote, a backslash, a control character and
// high ANSI bytes.
velt::ShownStatusParts DuringFailure() {
    velt::ShownStatusParts parts = AfterReply("(000.0 000.0 219,6 041 00.0 2,27 --- 10000001");
    parts.device.info = velt::TUPSInformation{"Q\"\\\x01\x80\xfc\x81", "Pro 1000", "V1.0"};
    parts.chargePercent = 88.4;
    parts.countdownRemainingMs = 540000;
    parts.forcedShutdown = true;
    parts.power = {754, 1020, 287.0, 700.0};
    return parts;
}

bool Parse(int argc, char** argv, Options& options, FixedSource& source) {
    velt::ShownStatusParts parts = AfterReply("(221.0 140.0 220.0 013 50.1 13.6 25.0 00101001");
    bool notFound = false, notResponding = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--not-found" || option == "--not-responding") {
            (option == "--not-found" ? notFound : notResponding) = true;
            continue;
        }
        if (option == "--seed-history") {
            options.seedHistory = true;
            continue;
        }
        if (option == "--failure") {
            parts = DuringFailure();
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (option == "--port") options.port = static_cast<uint16_t>(std::atoi(value));
        else if (option == "--user") source.settings.HTTPUser = value;
        else if (option == "--password") source.settings.HTTPPassword = value;
        else if (option == "--ups-name") source.settings.NUTUPSName = value;
        else if (option == "--head-deadline-ms") options.limits.headDeadline = std::chrono::milliseconds(std::atoi(value));
        else if (option == "--idle-ms") options.limits.idleKeepAlive = std::chrono::milliseconds(std::atoi(value));
        else if (option == "--max-connections") options.limits.maxConnections = static_cast<size_t>(std::atoi(value));
        else if (option == "--history") options.historyFile = value;
        else return false;
    }
    if (notFound) parts.upsFound = false;
    // A UPS gone silent: the window blanks its readings as the program does.
    if (notResponding) {
        parts.linkResponding = false;
        velt::ClearReadings(parts.reading);
    }
    source.shown = velt::ComposeShownStatus(std::move(parts));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    FixedSource source;
    Options options;
    if (!Parse(argc, argv, options, source))
        return velt::test::Usage(argv[0], "[--port N] [--user U] [--password P] [--not-found] [--failure] "
                                          "[--not-responding] [--ups-name NAME] [--head-deadline-ms N] [--idle-ms N] "
                                          "[--max-connections N] [--history FILE] [--seed-history]");
    if (options.seedHistory && !SeedHistory(options.historyFile)) return 1;
    if (!options.historyFile.empty()) source.history = std::make_unique<velt::HistoryReader>(options.historyFile);
    // Blocked before the server's thread starts, so only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    velt::HttpPageServer server(source, options.limits);
    if (!velt::test::StartAndAnnounce(server, options.port,
                                      "head-deadline-ms=" + std::to_string(options.limits.headDeadline.count()) +
                                      " idle-ms=" + std::to_string(options.limits.idleKeepAlive.count()) +
                                      " max-connections=" + std::to_string(options.limits.maxConnections)))
        return 2;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
