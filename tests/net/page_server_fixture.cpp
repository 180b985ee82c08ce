// Serves the status page of a fixed snapshot, for the page server's Python
// tests, its screenshot and its benchmark. Prints one line once it listens:
//   ready port=N head-deadline-ms=N idle-ms=N max-connections=N
// and runs until SIGINT or SIGTERM. Exits 2 when the port cannot be bound.
//
// Options: --port N (0: any free port), --user U, --password P, --not-found
// (no UPS found yet), --head-deadline-ms N, --idle-ms N, --max-connections N.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "net/http_page_server.h"

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

class FixedSource : public velt::IPageSource {
public:
    velt::TShownStatus shown;
    velt::TUPSSettings settings;

    PageResponse Answer(const PageRequest& request) override {
        return velt::IdHTTPSCommandGet(request, shown, settings, LocalTimeText());
    }
};

struct Options {
    uint16_t port = 8080;
    velt::PageServerLimits limits;
};

bool Parse(int argc, char** argv, Options& options, FixedSource& source) {
    source.shown = {{{"221.0", "140.0", "220.0", "013", "50.1", "13.6", "25.0", "00101001"}, false, false, true, false},
                    {"0665", "5161", "Mini UPS"},
                    true};
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--not-found") {
            source.shown.upsFound = false;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (option == "--port") options.port = static_cast<uint16_t>(std::atoi(value));
        else if (option == "--user") source.settings.HTTPUser = value;
        else if (option == "--password") source.settings.HTTPPassword = value;
        else if (option == "--head-deadline-ms") options.limits.headDeadline = std::chrono::milliseconds(std::atoi(value));
        else if (option == "--idle-ms") options.limits.idleKeepAlive = std::chrono::milliseconds(std::atoi(value));
        else if (option == "--max-connections") options.limits.maxConnections = static_cast<size_t>(std::atoi(value));
        else return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    FixedSource source;
    Options options;
    if (!Parse(argc, argv, options, source)) {
        std::fprintf(stderr, "usage: %s [--port N] [--user U] [--password P] [--not-found] "
                             "[--head-deadline-ms N] [--idle-ms N] [--max-connections N]\n", argv[0]);
        return 1;
    }
    // Blocked before the server's thread starts, so only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    velt::THttpPageServer server(source, options.limits);
    if (server.Start(options.port) != velt::THttpPageServer::StartResult::Listening) {
        std::printf("bind failed\n");
        return 2;
    }
    std::printf("ready port=%u head-deadline-ms=%lld idle-ms=%lld max-connections=%zu\n", server.Port(),
                static_cast<long long>(options.limits.headDeadline.count()),
                static_cast<long long>(options.limits.idleKeepAlive.count()), options.limits.maxConnections);
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
