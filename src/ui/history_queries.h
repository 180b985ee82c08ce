#pragma once
// The History page's reading of the history file, off the main thread: one
// worker of its own (started by the first request) keeps the latest request of each kind (a newer view
// replaces one not yet begun, likewise an export), runs it and hands the
// answer to the main thread as a posted task. The jobs make their reader on
// the worker and use it only there.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "reports/history_chart.h"
#include "sys/main_thread_post.h"

namespace velt::ui {

struct HistorySpanRequest {
    ChartSpan span = ChartSpan::Day;
    int64_t fromUtc = 0, toUtc = 0, stepSeconds = 60;
    bool operator==(const HistorySpanRequest&) const = default;
};
// The span that ends with the minute under way at `nowUtc`.
HistorySpanRequest SpanRequest(ChartSpan span, int64_t nowUtc);

struct HistoryView {
    HistorySpanRequest request;
    HistoryChart chart;
    std::vector<EventRow> outages;
    std::string error;  // the file could not be read
};

struct HistoryExport {
    HistorySpanRequest request;
    std::string path;
    size_t minutes = 0;
    std::string error;  // nothing or not all was written
};

// What the worker runs. An exception out of one becomes its answer's error.
struct HistoryJobs {
    std::function<HistoryView(const HistorySpanRequest&)> view;
    std::function<HistoryExport(const HistorySpanRequest&, const std::string& path)> exportCsv;
};

class HistoryQueries {
public:
    // The answers go to `showView` and `showExport` on the main thread, never
    // once this object is gone.
    HistoryQueries(IMainThreadPost& post, HistoryJobs jobs, std::function<void(HistoryView)> showView,
                   std::function<void(HistoryExport)> showExport);
    // Lets a job under way finish (each is one bounded query), then joins.
    ~HistoryQueries();
    HistoryQueries(const HistoryQueries&) = delete;
    HistoryQueries& operator=(const HistoryQueries&) = delete;

    void AskView(const HistorySpanRequest& request);
    void AskExport(const HistorySpanRequest& request, const std::string& path);

private:
    struct ExportAsked {
        HistorySpanRequest request;
        std::string path;
    };
    // Main thread only; a task posted before the end finds it gone.
    struct Receivers {
        std::function<void(HistoryView)> showView;
        std::function<void(HistoryExport)> showExport;
    };

    void StartWorker();
    void Work();
    bool WaitForRequest(std::optional<HistorySpanRequest>& view, std::optional<ExportAsked>& exportAsked);
    HistoryView RunView(const HistorySpanRequest& request);
    HistoryExport RunExport(const ExportAsked& asked);

    IMainThreadPost& post_;
    HistoryJobs jobs_;
    std::shared_ptr<Receivers> receivers_;
    std::mutex mutex_;
    std::condition_variable asked_;
    std::optional<HistorySpanRequest> view_;  // guarded by mutex_
    std::optional<ExportAsked> export_;       // guarded by mutex_
    bool stopping_ = false;                   // guarded by mutex_
    std::thread worker_;  // from the first ask; last: it uses everything above
};

}  // namespace velt::ui
