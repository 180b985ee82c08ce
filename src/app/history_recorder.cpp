#include "app/history_recorder.h"

#include <utility>

#include "reports/history_reading.h"

namespace velt {

namespace {

// How long the exit waits for the queue to reach the disk.
constexpr auto kStopBound = std::chrono::seconds(2);

}  // namespace

HistoryRecorder::HistoryRecorder(HistoryRecorderDeps deps)
    : deps_(std::move(deps)), mainThread_(deps_.post, deps_.log) {}

HistoryRecorder::~HistoryRecorder() { Stop(); }

void HistoryRecorder::Start(const std::filesystem::path& file, int historyDays) {
    if (writer_ || file.empty()) return;
    HistoryStoreOptions store;
    store.file = file;
    HistoryWriterOptions options;
    options.historyDays = historyDays;
    options.file = file;
    if (deps_.lessons)
        options.lessons = [this](std::vector<Discharge> lessons) {
            mainThread_.Post([this, lessons = std::move(lessons)]() mutable { deps_.lessons(std::move(lessons)); });
        };
    writer_ = std::make_unique<HistoryWriter>(
        std::make_unique<HistoryStore>(store, deps_.clock,
                                       [this](const std::string& line) { mainThread_.AddLogLine(line); }),
        std::move(options));
    Hand({MomentEvent(HistoryEventKind::ProgramStart, deps_.clock.Now())});
}

void HistoryRecorder::SetHistoryDays(int days) {
    if (writer_) writer_->SetHistoryDays(days);
}

void HistoryRecorder::OnReading(const TUPSStatus& status, std::optional<double> chargePercent) {
    if (!writer_) return;
    const HistoryReading reading = HistoryReadingOf(status, chargePercent, deps_.clock.Now());
    if (auto row = minutes_.Add(reading)) writer_->Enqueue(*row);
    Hand(events_.OnReading(status, reading));
}

void HistoryRecorder::OnLinkLost() {
    if (writer_) Hand(events_.OnLinkLost(deps_.clock.Now()));
}

void HistoryRecorder::OnLinkBack() {
    if (writer_) Hand(events_.OnLinkBack(deps_.clock.Now()));
}

void HistoryRecorder::OnPowerAction(const std::string& action) {
    if (writer_) Hand(events_.OnPowerAction(action, deps_.clock.Now()));
}

void HistoryRecorder::Stop() {
    if (!writer_) return;
    const LocalDateTime now = deps_.clock.Now();
    if (auto row = minutes_.Finish()) writer_->Enqueue(*row);
    std::vector<EventRow> last = events_.CloseAll(now);
    last.push_back(MomentEvent(HistoryEventKind::ProgramExit, now));
    Hand(std::move(last));
    writer_->Stop(kStopBound);
    writer_.reset();
}

void HistoryRecorder::Hand(std::vector<EventRow> rows) {
    for (EventRow& row : rows) writer_->Enqueue(std::move(row));
}

}  // namespace velt
