#pragma once
// The owner of short-lived background jobs, one thread each: the e-mail and
// LAN sends. Nobody waits for a job while it runs; a finished thread is
// joined at the next start, and at exit every job still running is asked to
// give up and waited for, boundedly. Main thread only.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace velt {

class JobThreads {
public:
    JobThreads() = default;
    ~JobThreads();
    JobThreads(const JobThreads&) = delete;
    JobThreads& operator=(const JobThreads&) = delete;

    // `abandon` is called on the main thread at exit while `work` still runs;
    // it must make `work` return soon (close its socket) and may be empty for
    // work that ends by itself. An exception out of `work` ends the job only.
    void Run(std::function<void()> work, std::function<void()> abandon = {});

    // Asks every running job to give up and waits at most `bound` for them.
    // True when every thread ended and was joined. A thread that outlives the
    // bound is blocked in a call nobody can interrupt (a LAN message box that
    // waits for its answer); it is let go and ends with the process.
    bool AbandonAll(std::chrono::milliseconds bound);

    size_t Running() const;

private:
    // Shared with the threads, so that one let go at exit never touches this
    // object after it is gone.
    struct Shared {
        std::mutex mutex;
        std::condition_variable ended;
    };
    struct Job {
        std::thread thread;
        std::function<void()> abandon;
        std::shared_ptr<bool> done;  // guarded by Shared::mutex
    };
    void JoinFinished();
    bool AllDone() const;

    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    std::list<Job> jobs_;  // main thread only
};

}  // namespace velt
