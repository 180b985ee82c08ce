// The History page's worker: answers through the main thread's queue, only
// the latest request of a kind, failures as answers, nothing after the end.
#include "ui/history_queries.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>

#include "queued_post.h"

namespace velt::ui {
namespace {

using test::QueuedPost;

HistorySpanRequest Asked(int64_t from) { return {ChartSpan::Day, from, from + 86400, 300}; }

TEST(HistoryQueries, SpanEndsWithTheMinuteUnderWay) {
    const struct {
        ChartSpan span;
        int64_t now, to;
    } cases[] = {
        {ChartSpan::Hour, 120, 180},        {ChartSpan::Hour, 179, 180},     {ChartSpan::Day, 1700000000, 1700000040},
        {ChartSpan::Week, 1700000040, 1700000100}, {ChartSpan::Month, 0, 60}, {ChartSpan::Day, -1, 0},
    };
    for (const auto& c : cases) {
        const HistorySpanRequest r = SpanRequest(c.span, c.now);
        EXPECT_EQ(r.span, c.span);
        EXPECT_EQ(r.toUtc, c.to) << c.now;
        EXPECT_EQ(r.toUtc - r.fromUtc, ChartSpanSeconds(c.span)) << c.now;
        EXPECT_EQ(r.stepSeconds, ChartStepSeconds(c.span)) << c.now;
    }
}

struct Rig {
    QueuedPost post;
    std::vector<HistoryView> views;
    std::vector<HistoryExport> exports;
    std::unique_ptr<HistoryQueries> queries;

    void Start(HistoryJobs jobs) {
        queries = std::make_unique<HistoryQueries>(
            post, std::move(jobs), [this](HistoryView v) { views.push_back(std::move(v)); },
            [this](HistoryExport e) { exports.push_back(std::move(e)); });
    }
};

TEST(HistoryQueries, AnswersComeOnlyThroughTheMainThreadsQueue) {
    Rig rig;
    std::atomic<std::thread::id> ranOn;
    rig.Start({[&](const HistorySpanRequest& r) {
                   ranOn = std::this_thread::get_id();
                   HistoryView v;
                   v.request = r;
                   v.outages.resize(2);
                   return v;
               },
               [](const HistorySpanRequest& r, const std::string& path) {
                   return HistoryExport{r, path, 42, ""};
               }});
    rig.queries->AskView(Asked(100));
    rig.queries->AskExport(Asked(200), "C:\\out.csv");
    ASSERT_TRUE(rig.post.RunUntil([&] { return rig.views.size() == 1 && rig.exports.size() == 1; }));
    EXPECT_NE(ranOn.load(), std::this_thread::get_id());
    EXPECT_EQ(rig.views[0].request, Asked(100));
    EXPECT_EQ(rig.views[0].outages.size(), 2u);
    EXPECT_EQ(rig.exports[0].path, "C:\\out.csv");
    EXPECT_EQ(rig.exports[0].minutes, 42u);
}

// While one query runs, newer requests replace each other: the next one run
// is the last asked.
TEST(HistoryQueries, OnlyTheLatestWaitingRequestRuns) {
    Rig rig;
    std::promise<void> entered, release;
    auto released = release.get_future().share();
    std::vector<int64_t> ran;  // the worker's alone until the answers are in
    rig.Start({[&](const HistorySpanRequest& r) {
                   if (ran.empty()) {
                       entered.set_value();
                       released.wait();
                   }
                   ran.push_back(r.fromUtc);
                   return HistoryView{r, {}, {}, ""};
               },
               {}});
    rig.queries->AskView(Asked(1));
    entered.get_future().wait();
    for (int64_t from : {2, 3, 4}) rig.queries->AskView(Asked(from));
    release.set_value();
    ASSERT_TRUE(rig.post.RunUntil([&] { return rig.views.size() == 2; }));
    EXPECT_EQ(ran, (std::vector<int64_t>{1, 4}));
    EXPECT_EQ(rig.views[1].request.fromUtc, 4);
}

TEST(HistoryQueries, AFailingJobAnswersWithItsError) {
    Rig rig;
    rig.Start({[](const HistorySpanRequest&) -> HistoryView { throw std::runtime_error("database disk image is malformed"); },
               [](const HistorySpanRequest&, const std::string&) -> HistoryExport { throw 7; }});
    rig.queries->AskView(Asked(5));
    rig.queries->AskExport(Asked(6), "x.csv");
    ASSERT_TRUE(rig.post.RunUntil([&] { return rig.views.size() == 1 && rig.exports.size() == 1; }));
    EXPECT_EQ(rig.views[0].error, "database disk image is malformed");
    EXPECT_EQ(rig.views[0].request, Asked(5));
    EXPECT_FALSE(rig.exports[0].error.empty());
    EXPECT_EQ(rig.exports[0].path, "x.csv");
    // The worker lives on after a failure.
    rig.queries->AskView(Asked(7));
    ASSERT_TRUE(rig.post.RunUntil([&] { return rig.views.size() == 2; }));
}

// An answer posted before the end and run after it reaches nobody; the end
// waits for the query under way.
TEST(HistoryQueries, AnswersLeftInTheQueueAtTheEndAreDropped) {
    Rig rig;
    std::atomic<int> ran{0};
    rig.Start({[&](const HistorySpanRequest& r) {
                   ++ran;
                   return HistoryView{r, {}, {}, ""};
               },
               {}});
    rig.queries->AskView(Asked(1));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto queued = [&rig] {
        std::lock_guard guard(rig.post.m);
        return rig.post.tasks.size();
    };
    while (queued() < 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    rig.queries.reset();
    EXPECT_EQ(ran.load(), 1);
    ASSERT_EQ(queued(), 1u);
    rig.post.tasks.front()();
    EXPECT_TRUE(rig.views.empty());
}

}  // namespace
}  // namespace velt::ui
