#include "ui/history_queries.h"

#include <exception>

namespace velt::ui {

namespace {

constexpr int64_t kMinute = 60;

std::string ErrorText(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

}  // namespace

HistorySpanRequest SpanRequest(ChartSpan span, int64_t nowUtc) {
    const int64_t to = (nowUtc >= 0 ? nowUtc / kMinute : (nowUtc - kMinute + 1) / kMinute) * kMinute + kMinute;
    return {span, to - ChartSpanSeconds(span), to, ChartStepSeconds(span)};
}

HistoryQueries::HistoryQueries(IMainThreadPost& post, HistoryJobs jobs, std::function<void(HistoryView)> showView,
                               std::function<void(HistoryExport)> showExport)
    : post_(post),
      jobs_(std::move(jobs)),
      receivers_(std::make_shared<Receivers>(Receivers{std::move(showView), std::move(showExport)})) {}

HistoryQueries::~HistoryQueries() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
    }
    asked_.notify_all();
    if (worker_.joinable()) worker_.join();
    receivers_.reset();  // answers still queued for the main thread are dropped
}

void HistoryQueries::AskView(const HistorySpanRequest& request) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        view_ = request;
    }
    asked_.notify_all();
    StartWorker();
}

void HistoryQueries::AskExport(const HistorySpanRequest& request, const std::string& path) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        export_ = ExportAsked{request, path};
    }
    asked_.notify_all();
    StartWorker();
}

// A page never looked at costs no thread. Main thread only, as the asks are.
void HistoryQueries::StartWorker() {
    if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
}

bool HistoryQueries::WaitForRequest(std::optional<HistorySpanRequest>& view, std::optional<ExportAsked>& exportAsked) {
    std::unique_lock<std::mutex> lock(mutex_);
    asked_.wait(lock, [this] { return stopping_ || view_ || export_; });
    if (stopping_) return false;
    view.swap(view_);
    exportAsked.swap(export_);
    view_.reset();
    export_.reset();
    return true;
}

// Each answer carries a weak hold on the receivers: posted before the end and
// run after it, it finds them gone and does nothing.
void HistoryQueries::Work() {
    for (;;) {
        std::optional<HistorySpanRequest> view;
        std::optional<ExportAsked> exportAsked;
        if (!WaitForRequest(view, exportAsked)) return;
        std::weak_ptr<Receivers> to = receivers_;
        if (exportAsked)
            post_.Post([to, answer = RunExport(*exportAsked)]() mutable {
                if (auto r = to.lock()) r->showExport(std::move(answer));
            });
        if (view)
            post_.Post([to, answer = RunView(*view)]() mutable {
                if (auto r = to.lock()) r->showView(std::move(answer));
            });
    }
}

HistoryView HistoryQueries::RunView(const HistorySpanRequest& request) {
    try {
        return jobs_.view(request);
    } catch (...) {
        HistoryView failed;
        failed.request = request;
        failed.error = ErrorText(std::current_exception());
        return failed;
    }
}

HistoryExport HistoryQueries::RunExport(const ExportAsked& asked) {
    try {
        return jobs_.exportCsv(asked.request, asked.path);
    } catch (...) {
        HistoryExport failed;
        failed.request = asked.request;
        failed.path = asked.path;
        failed.error = ErrorText(std::current_exception());
        return failed;
    }
}

}  // namespace velt::ui
