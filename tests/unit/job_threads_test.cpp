#include "app/job_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

namespace velt {
namespace {

using namespace std::chrono_literals;

// A job that listens to its abandon ends at once; one blocked in a call that
// nobody can interrupt is let go after the bound and may finish long after its
// owner is gone.
TEST(JobThreads, ExitAbandonsWhatListensAndLetsGoOfWhatCannotWithinTheBound) {
    std::promise<void> released, finished;
    std::future<void> release = released.get_future();
    {
        JobThreads jobs;
        std::atomic<bool> stop{false};
        jobs.Run([&] {
            while (!stop) std::this_thread::sleep_for(1ms);
        }, [&] { stop = true; });
        jobs.Run([&] {
            release.wait();
            finished.set_value();
        });
        std::atomic<int> quick{0};
        for (int i = 0; i < 20; ++i) jobs.Run([&] { ++quick; });
        EXPECT_GE(jobs.Running(), 2u);

        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(jobs.AbandonAll(300ms));
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_GE(took, 300ms);
        EXPECT_LT(took, 2s);
        EXPECT_EQ(quick, 20);
        EXPECT_EQ(jobs.Running(), 0u);
    }
    released.set_value();
    EXPECT_EQ(finished.get_future().wait_for(5s), std::future_status::ready);
}

}  // namespace
}  // namespace velt
