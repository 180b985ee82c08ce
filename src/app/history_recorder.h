#pragma once
// The monitor's memory: each reading folded into the minute's row, each
// event's row, both handed to the history's writer thread. Main thread only;
// it never waits for the disk. Without a file (a window watching the
// service, which keeps its own) it records nothing.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_thread_log.h"
#include "reports/history_events.h"
#include "reports/history_writer.h"
#include "reports/minute_aggregator.h"
#include "status/ups_status.h"
#include "sys/clock.h"

namespace velt {

struct HistoryRecorderDeps {
    const IClock& clock;
    IMainThreadPost& post;  // the writer's log lines and lessons reach the main thread
    ILogSink& log;
    // The finished discharges, after the file opens and after each mains
    // failure ends; on the main thread.
    std::function<void(std::vector<Discharge>)> lessons = {};
};

class HistoryRecorder {
public:
    explicit HistoryRecorder(HistoryRecorderDeps deps);
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // Starts the writer on `file` and records the program's start; an empty
    // path records nothing.
    void Start(const std::filesystem::path& file, int historyDays);
    void SetHistoryDays(int days);
    // An evaluated reply and the charge shown with it.
    void OnReading(const TUPSStatus& status, std::optional<double> chargePercent);
    void OnLinkLost();
    void OnLinkBack();
    void OnPowerAction(const std::string& action);
    // The minute under way, what still lasts and the exit, written within the
    // writer's bound; nothing is recorded after.
    void Stop();

private:
    void Hand(std::vector<EventRow> rows);

    HistoryRecorderDeps deps_;
    MainThreadLog mainThread_;
    MinuteAggregator minutes_;
    HistoryEventTracker events_;
    std::unique_ptr<HistoryWriter> writer_;
};

}  // namespace velt
