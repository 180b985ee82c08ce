#include "app/job_threads.h"

namespace velt {

namespace {
constexpr std::chrono::milliseconds kExitBound{2000};
}

JobThreads::~JobThreads() { AbandonAll(kExitBound); }

void JobThreads::Run(std::function<void()> work, std::function<void()> abandon) {
    JoinFinished();
    Job& job = jobs_.emplace_back();
    job.abandon = std::move(abandon);
    job.done = std::make_shared<bool>(false);
    job.thread = std::thread([shared = shared_, done = job.done, work = std::move(work)] {
        // The last guard: a job that throws ends as a job, not as the
        // program. Jobs report their own failures; this only keeps them done.
        try {
            work();
        } catch (...) {
        }
        std::lock_guard<std::mutex> guard(shared->mutex);
        *done = true;
        shared->ended.notify_all();
    });
}

void JobThreads::JoinFinished() {
    std::lock_guard<std::mutex> guard(shared_->mutex);
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (!*it->done) {
            ++it;
            continue;
        }
        // Done: the thread has nothing left to do but return.
        it->thread.join();
        it = jobs_.erase(it);
    }
}

bool JobThreads::AllDone() const {
    for (const Job& job : jobs_)
        if (!*job.done) return false;
    return true;
}

bool JobThreads::AbandonAll(std::chrono::milliseconds bound) {
    // Outside the lock: a job may be about to take it to say it is done.
    for (Job& job : jobs_)
        if (job.abandon) job.abandon();
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->ended.wait_for(lock, bound, [this] { return AllDone(); });
    const bool allEnded = AllDone();
    for (auto it = jobs_.begin(); it != jobs_.end();) {
        if (*it->done) {
            ++it;
            continue;
        }
        it->thread.detach();
        it = jobs_.erase(it);
    }
    lock.unlock();
    JoinFinished();
    return allEnded;
}

size_t JobThreads::Running() const {
    std::lock_guard<std::mutex> guard(shared_->mutex);
    size_t running = 0;
    for (const Job& job : jobs_) running += *job.done ? 0 : 1;
    return running;
}

}  // namespace velt
