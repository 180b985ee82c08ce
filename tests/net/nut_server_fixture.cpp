// Serves the NUT protocol for a fixed UPS, for the NUT server's Python tests
// and its benchmark. Prints one line once it listens:
//   ready port=N idle-ms=N max-connections=N
// then reads commands on stdin, one a line, until stdin closes:
//   stale | fresh    the UPS stops or starts answering
//   OB | OL          on battery or on line
//   nofsd            clears the forced shutdown
//   state            prints "state fsd=0|1 clients=N" (logged-in clients)
//   password P       the stored password from now on (the rest of the line)
//   hosts LIST       the allowed hosts from now on
// Reports print "refused ADDRESS", "login-refused ADDRESS [blocked]" and
// "fault WHAT". Exits 2 when the port cannot be bound.
//
// Options: --port N (0: any free port), --name UPS, --user U, --password P,
// --allowed-hosts LIST, --idle-ms N, --max-connections N, --recent-request-ms N,
// --login-block-ms N, and the flag --throw-on-refusal (each report of a
// refused peer throws std::bad_alloc).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "net/nut_server.h"
#include "reports/nut_variables.h"
#include "status/shown_status.h"
#include "server_fixture.h"

namespace {

class FixedSource : public velt::INutSource {
public:
    velt::NutConfig config;  // as the options give it, before the server starts
    bool throwOnRefusal = false;

    // The same pointer until a command changes the settings, as the app does.
    std::shared_ptr<const velt::NutConfig> Config() override {
        std::lock_guard lock(mutex_);
        if (!published_) published_ = std::make_shared<const velt::NutConfig>(config);
        return published_;
    }

    // Made again only when the state or the forced shutdown changed.
    std::shared_ptr<const velt::NutSnapshot> Current(bool forcedShutdown) override {
        std::lock_guard lock(mutex_);
        if (!snapshot_ || snapshotForced_ != forcedShutdown) {
            snapshot_ = std::make_shared<const velt::NutSnapshot>(Make(forcedShutdown));
            snapshotForced_ = forcedShutdown;
        }
        return snapshot_;
    }

    void HostRefused(const std::string& address) override {
        velt::test::PrintLine("refused " + address);
        if (throwOnRefusal) throw std::bad_alloc();
    }

    void LoginRefused(const std::string& address, bool blocked) override {
        velt::test::PrintLine("login-refused " + address + (blocked ? " blocked" : ""));
    }

    void ServerFault(const std::string& what) override { velt::test::PrintLine("fault " + what); }
    void ForcedShutdownSet() override {}  // the tests read FSD from ups.status

    // This UPS has no commands to run: none is offered, so none comes here.
    std::string InstantCommand(std::string_view, const std::string&) override { return {}; }
    std::optional<velt::NutCommandState> CommandState(const std::string&) override { return std::nullopt; }

    void Change(const std::string& command, const std::string& value) {
        std::lock_guard lock(mutex_);
        (command == "password" ? config.password : config.allowedHosts) = value;
        published_.reset();
    }

    void Set(bool stale, bool onBattery) {
        std::lock_guard lock(mutex_);
        stale_ = stale;
        onBattery_ = onBattery;
        snapshot_.reset();
    }
    bool Stale() {
        std::lock_guard lock(mutex_);
        return stale_;
    }
    bool OnBattery() {
        std::lock_guard lock(mutex_);
        return onBattery_;
    }

private:
    // Composed as the program composes it, from a reply parsed by its parser.
    velt::ShownStatus Shown() const {
        const std::string reply = onBattery_ ? "(000.0 140.0 220.0 013 00.0 13.6 25.0 10001001"
                                             : "(221.0 140.0 220.0 013 50.1 13.6 25.0 00001001";
        velt::ShownStatusParts parts;
        parts.reading = *velt::ParseStatusReply(reply, {2024, 2, 1, 10, 0, 0, 0, 60}, true, '.', 12);
        parts.replied = parts.upsFound = parts.monitoring = true;
        parts.linkResponding = !stale_;
        // A UPS gone silent: its readings are blanked as the window blanks them.
        if (stale_) velt::ClearReadings(parts.reading);
        parts.device = {"Megatec", true, 0x0665, 0x5161,
                        velt::TUPSInformation{"Megatec", "Mini \"UPS\" 650\\B", "V2.1"},
                        velt::RatedValues{220, 3, 12, 50}};
        parts.nominalBatteryVolts = 12;
        parts.chargePercent = 100;
        parts.power = {1500, 1500, 91.0, 700.0};
        return velt::ComposeShownStatus(std::move(parts));
    }

    velt::NutSnapshot Make(bool forcedShutdown) const {
        const velt::ShownStatus shown = Shown();
        return {velt::NutReadingsStale(shown), velt::NutVariables(shown, {"VT-0001", "1.0.0"}, forcedShutdown), ""};
    }

    std::mutex mutex_;
    std::shared_ptr<const velt::NutConfig> published_;
    bool stale_ = false, onBattery_ = false;
    std::shared_ptr<const velt::NutSnapshot> snapshot_;
    bool snapshotForced_ = false;
};

struct Options {
    uint16_t port = 3493;
    velt::NutServerLimits limits;
};

bool Parse(int argc, char** argv, Options& options, FixedSource& source) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--throw-on-refusal") {
            source.throwOnRefusal = true;
            continue;
        }
        if (++i == argc) return false;
        const char* value = argv[i];
        if (option == "--port") options.port = static_cast<uint16_t>(std::atoi(value));
        else if (option == "--name") source.config.upsName = value;
        else if (option == "--user") source.config.user = value;
        else if (option == "--password") source.config.password = value;
        else if (option == "--allowed-hosts") source.config.allowedHosts = value;
        else if (option == "--idle-ms") options.limits.idle = std::chrono::milliseconds(std::atoi(value));
        else if (option == "--max-connections") options.limits.maxConnections = static_cast<size_t>(std::atoi(value));
        else if (option == "--recent-request-ms") options.limits.recentRequest = std::chrono::milliseconds(std::atoi(value));
        else if (option == "--login-block-ms") options.limits.logins.block = std::chrono::milliseconds(std::atoi(value));
        else return false;
    }
    return true;
}

void Obey(const std::string& command, FixedSource& source, velt::NutServer& server) {
    if (command == "stale" || command == "fresh") source.Set(command == "stale", source.OnBattery());
    else if (command == "OB" || command == "OL") source.Set(source.Stale(), command == "OB");
    else if (command == "nofsd") server.SetForcedShutdown(false);
    else if (command.rfind("password ", 0) == 0 || command.rfind("hosts ", 0) == 0)
        source.Change(command.substr(0, command.find(' ')), command.substr(command.find(' ') + 1));
    else if (command == "state")
        velt::test::PrintLine("state fsd=" + std::to_string(server.ForcedShutdown()) +
                              " clients=" + std::to_string(server.LoggedInClients()));
    else velt::test::PrintLine("unknown " + command);
}

}  // namespace

int main(int argc, char** argv) {
    FixedSource source;
    Options options;
    if (!Parse(argc, argv, options, source))
        return velt::test::Usage(argv[0], "[--port N] [--name UPS] [--user U] [--password P] "
                                          "[--allowed-hosts LIST] [--idle-ms N] [--max-connections N] "
                                          "[--recent-request-ms N] [--login-block-ms N] "
                                          "[--throw-on-refusal]");
    velt::NutServer server(source, options.limits);
    if (!velt::test::StartAndAnnounce(server, options.port,
                                      "idle-ms=" + std::to_string(options.limits.idle.count()) +
                                      " max-connections=" + std::to_string(options.limits.maxConnections)))
        return 2;
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        Obey(line, source, server);
    }
    server.Stop();
    return 0;
}
