// The NUT client against the real upsd of NUT (Debian's nut-server), serving
// dummy-ups with a real unit's variables (tests/data/nut), each started with
// folders of its own on a free loopback port. Skipped where NUT is missing.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <thread>

#include "fake_nut_server.h"
#include "net/nut_client.h"
#include "net/nut_protocol.h"
#include "status/nut_reading.h"

namespace velt::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kNutBinaries = "/lib/nut";
const fs::path kReplies = fs::path(VELTRANO_SOURCE_DIR) / "tests" / "data" / "nut";
const char* const kUnit = "blazer_usb_mustek_powermust_1000va.txt";
const LocalDateTime kWhen{2024, 2, 1, 10, 0, 0, 0, 60};

// A program run with NUT's folders set, its output into `log`; stopped and
// reaped, within two seconds, with the object.
class Child {
public:
    Child(std::vector<std::string> argv, const fs::path& folder, const fs::path& log) {
        std::vector<std::string> env = {"NUT_CONFPATH=" + folder.string(), "NUT_STATEPATH=" + folder.string(),
                                        "NUT_ALTPIDPATH=" + folder.string(), "PATH=/usr/bin:/bin"};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        if (posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, Raw(argv).data(), Raw(env).data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (pid_ <= 0 || Exited(0ms)) return;
        kill(pid_, SIGTERM);
        if (Exited(2s)) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return pid_ > 0; }

    // Whether it ended within `limit`; its exit code into `code`.
    bool Exited(std::chrono::milliseconds limit, int* code = nullptr) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                if (code) *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                pid_ = -1;
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(10ms);
        }
    }

private:
    static std::vector<char*> Raw(std::vector<std::string>& words) {
        std::vector<char*> raw;
        for (auto& word : words) raw.push_back(word.data());
        raw.push_back(nullptr);
        return raw;
    }
    pid_t pid_ = -1;
};

// The variables of a reply file as dummy-ups reads them: "name: value" lines.
std::string DevFileOf(const std::string& replyFile) {
    std::ifstream in(kReplies / replyFile);
    std::string dev, line;
    while (std::getline(in, line)) {
        const auto words = NutTokenize(line);
        if (words && words->size() == 4 && (*words)[0] == "VAR") dev += (*words)[2] + ": " + (*words)[3] + "\n";
    }
    return dev;
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

uint16_t FreePort() {
    FakeNutServer probe([](const std::string&) { return FakeAnswer{}; });
    return probe.Port();
}

class RealUpsd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kNutBinaries / "upsd") || !fs::exists(kNutBinaries / "dummy-ups"))
            GTEST_SKIP() << "NUT's upsd and dummy-ups are not installed (Debian's nut-server)";
        char pattern[] = "/tmp/veltrano-upsd-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        port_ = FreePort();
        Write(folder_ / "ups.conf", "[dummy]\n driver = dummy-ups\n port = unit.dev\n mode = dummy-once\n"
                                    " desc = \"test unit\"\n");
        Write(folder_ / "unit.dev", DevFileOf(kUnit));
        Write(folder_ / "upsd.conf", "LISTEN 127.0.0.1 " + std::to_string(port_) + "\n");
        Write(folder_ / "upsd.users", "[monuser]\n password = secret\n upsmon secondary\n"
                                      "[admin]\n password = adminpass\n actions = SET\n");
        const fs::path log = folder_ / "nut.log";
        driver_ = std::make_unique<Child>(
            std::vector<std::string>{(kNutBinaries / "dummy-ups").string(), "-a", "dummy", "-F", "-u", "root"},
            folder_, log);
        upsd_ = std::make_unique<Child>(std::vector<std::string>{(kNutBinaries / "upsd").string(), "-F", "-u", "root"},
                                        folder_, log);
        ASSERT_TRUE(driver_->Started() && upsd_->Started());
    }
    void TearDown() override {
        upsd_.reset();
        driver_.reset();
        if (HasFailure()) {
            std::ifstream log(folder_ / "nut.log");
            std::cerr << "NUT's output:\n" << log.rdbuf() << "\n";
        }
        if (!folder_.empty()) fs::remove_all(folder_);
    }

    // Reads the UPS until `ready` holds of its variables: upsd answers
    // DATA-STALE, or not at all, until the driver has given it the unit.
    NutListing ListWhen(const std::function<bool(const NutVariableTable&)>& ready) {
        NutListing listing;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            NutClient client;
            if (client.Connect("127.0.0.1", port_).Ok()) listing = client.ListVar("dummy");
            else listing.error = "upsd is not listening";
            if (listing.Ok() && ready(listing.variables)) return listing;
            std::this_thread::sleep_for(100ms);
        }
        return listing;
    }

    fs::path folder_;
    uint16_t port_ = 0;
    std::unique_ptr<Child> driver_, upsd_;
};

TEST_F(RealUpsd, LogsInReadsTheUnitAndFollowsItsStatus) {
    // The last of the file's variables: the driver has given upsd all of them.
    NutListing listing = ListWhen([](const NutVariableTable& v) { return v.count("ups.vendorid") > 0; });
    ASSERT_TRUE(listing.Ok()) << listing.error;
    NutReading reading = ReadingFromNutVariables(listing.variables, kWhen);
    EXPECT_EQ(reading.status.IPVoltage.value, 228.1);
    EXPECT_EQ(reading.status.BatteryVoltage.text, "27.40");
    EXPECT_EQ(reading.status.UPSStatus.text, "00000001");
    EXPECT_EQ(reading.chargePercent, 100);

    struct Case {
        const char* name;
        const char *user, *password, *ups;
        const char* error;
    } cases[] = {
        {"a secondary's login", "monuser", "secret", "dummy", ""},
        {"a wrong password", "monuser", "wrong", "dummy", "ERR ACCESS-DENIED"},
        {"a user upsd does not know", "nobody", "secret", "dummy", "ERR ACCESS-DENIED"},
        {"a user that may not log in", "admin", "adminpass", "dummy", "ERR ACCESS-DENIED"},
        {"a UPS upsd does not serve", "monuser", "secret", "other", "ERR UNKNOWN-UPS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NutClient client;
        ASSERT_TRUE(client.Connect("127.0.0.1", port_).Ok());
        EXPECT_EQ(client.Login(c.user, c.password, c.ups).error, c.error);
        EXPECT_TRUE(client.ListVar("dummy").Ok());
        EXPECT_EQ(client.ListVar("other").error, "ERR UNKNOWN-UPS");
        client.Logout();
    }

    // dummy-ups reads its file again once it changes: the unit's mains fail.
    std::string dev = DevFileOf(kUnit);
    dev.replace(dev.find("ups.status: OL"), 14, "ups.status: OB LB");
    std::this_thread::sleep_for(1100ms);  // a modification time the driver sees as new
    Write(folder_ / "unit.dev", dev);
    listing = ListWhen([](const NutVariableTable& v) { return v.count("ups.status") && v.at("ups.status") != "OL"; });
    ASSERT_TRUE(listing.Ok()) << listing.error;
    reading = ReadingFromNutVariables(listing.variables, kWhen);
    EXPECT_EQ(reading.status.UPSStatus.text, "11000001");
}

}  // namespace
}  // namespace velt::test
