// The history's documents as the page server gets them, read from a real file.
#include "reports/history_pages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "reports/history_store.h"

namespace velt {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kNow = 1796119200;  // 2026-12-01T10:00:00Z

struct StillClock : IClock {
    LocalDateTime Now() const override { return {2026, 12, 1, 10, 0, 0, 0, 0}; }
    uint64_t MonotonicMs() const override { return 0; }
};

class HistoryPages : public ::testing::Test {
protected:
    HistoryPages() {
        settings_.HTTPUser = "admin";
        settings_.HTTPPassword = "Secret";
        fs::create_directories(folder_);
    }
    ~HistoryPages() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    static fs::path NewFolder() {
        const auto tag = std::chrono::steady_clock::now().time_since_epoch().count();
        return fs::temp_directory_path() / ("veltrano-pages-" + std::to_string(tag));
    }
    void Seed() {
        HistoryStoreOptions options;
        options.file = file_;
        HistoryStore store(options, clock_, [](auto&) {});
        for (int64_t m = 1; m <= 180; ++m) {
            MinuteRow row;
            row.minuteUtc = kNow - m * 60;
            row.values[0] = MinuteStats{229, 230, 231};
            row.values[static_cast<size_t>(HistoryQuantity::Load)] = MinuteStats{40, 50, 60};
            store.WriteMinute(row);
        }
        EventRow outage;
        outage.startUtc = kNow - 5000;
        outage.endUtc = kNow - 4700;
        outage.lowestCharge = 64;
        outage.action = "<shutdown>";
        store.WriteEvent(outage);
    }
    PageResponse Get(const std::string& path, const std::string& query, bool withHistory = true,
                     std::string password = "Secret") {
        const HistoryAccess access{withHistory ? &reader_ : nullptr, kNow, 60, runtime_, rating_};
        return IdHTTPSCommandGet({path, "admin", std::move(password), query}, ShownStatus{}, settings_, "now",
                                 &access);
    }

    const fs::path folder_ = NewFolder(), file_ = folder_ / "history.db";
    StillClock clock_;
    TUPSSettings settings_;
    HistoryReader reader_{file_};
    std::optional<std::string> runtime_;
    std::optional<double> rating_;
};

TEST_F(HistoryPages, EachDocumentAnswersWithItsStatusAndType) {
    Seed();
    struct Case {
        const char* path;
        const char* query;
        int status;
        const char* contentType;
        const char* bodyPart;
    };
    const Case cases[] = {
        {"/history", "", 200, "text/html; charset=utf-8", "<svg"},
        {"/history.json", "from=2026-12-01T09:00:00Z", 200, "application/json", "\"step\":60,\"points\":[{"},
        {"/history.csv", "from=2026-12-01T10:58:00%2B01:00", 200, "text/csv; charset=utf-8",
         "\r\n2026-12-01T09:58:00+00:00,229,230,231,"},
        {"/history.csv", "from=2026-11-01", 400, "text/plain; charset=utf-8", "at most 10000 minutes"},
        {"/history.json", "to=soon", 400, "text/plain; charset=utf-8", "to: not an ISO 8601 time"},
        {"/history.csv", "step=1", 400, "text/plain; charset=utf-8", "step:"},
    };
    for (const Case& c : cases) {
        const PageResponse response = Get(c.path, c.query);
        SCOPED_TRACE(std::string(c.path) + "?" + c.query + " " + response.body.substr(0, 300));
        EXPECT_EQ(response.status, c.status);
        EXPECT_EQ(response.contentType, c.contentType);
        EXPECT_NE(response.body.find(c.bodyPart), std::string::npos);
    }
    EXPECT_EQ(Get("/history.json", "", true, "wrong").status, 401) << "the credentials come first";
    EXPECT_EQ(Get("/history.json", "", false).status, 404) << "no history kept";
    EXPECT_EQ(Get("/history.csv", "to=junk", false).status, 404);
}

TEST_F(HistoryPages, ThePageListsOutagesAndTheRuntimeOnlyWhenKnown) {
    EXPECT_NE(Get("/history", "").body.find("No history for this span yet"), std::string::npos)
        << "a file not there yet";
    Seed();
    std::string page = Get("/history", "").body;
    EXPECT_NE(page.find("<td>2026-12-01 08:36:40</td><td>5 min 00 s</td><td>64%</td><td>&lt;shutdown&gt;</td>"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("Runtime"), std::string::npos);
    runtime_ = "Runtime at this load: <42 min>";
    page = Get("/history", "").body;
    EXPECT_NE(page.find("<p>Runtime at this load: &lt;42 min&gt;</p>"), std::string::npos);
    EXPECT_EQ(page.find("Energy per day"), std::string::npos) << "no rating, no energy";
    rating_ = 1000;  // three hours at half of 1000 W
    EXPECT_NE(Get("/history", "").body.find("<tr><td>2026-12-01</td><td>1.50</td></tr>"), std::string::npos);
}

TEST_F(HistoryPages, AFileThatCannotBeReadAnswers503AndIsReadOnceMended) {
    std::ofstream(file_, std::ios::binary) << std::string(8192, '\x5a');
    for (const char* path : {"/history", "/history.csv", "/history.json"}) {
        const PageResponse response = Get(path, "");
        EXPECT_EQ(response.status, 503) << path;
        EXPECT_EQ(response.body.rfind("History not readable now: ", 0), 0u) << response.body;
    }
    fs::remove(file_);
    Seed();
    EXPECT_EQ(Get("/history.json", "").status, 200);
}

}  // namespace
}  // namespace velt
