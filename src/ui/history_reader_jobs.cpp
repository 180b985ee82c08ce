#include "ui/history_reader_jobs.h"

#include <memory>
#include <stdexcept>

#include "reports/history_feeds.h"
#include "reports/history_reader.h"

namespace velt::ui {

namespace {

// Opened on the worker at first use, and used only there.
class LazyReader {
public:
    explicit LazyReader(std::filesystem::path file) : file_(std::move(file)) {}
    HistoryReader* Get() {
        if (file_.empty()) return nullptr;
        if (!reader_) reader_ = std::make_unique<HistoryReader>(file_);
        return reader_.get();
    }

private:
    std::filesystem::path file_;
    std::unique_ptr<HistoryReader> reader_;
};

HistoryView ViewOf(HistoryReader* reader, const HistorySpanRequest& r) {
    HistoryView view;
    view.request = r;
    std::vector<HistoryPoint> points;
    if (reader) {
        points = reader->Points(r.fromUtc, r.toUtc, r.stepSeconds);
        view.outages = reader->Events(r.fromUtc, r.toUtc, HistoryEventKind::MainsFailure);
    }
    view.chart = LayoutHistoryChart(points, view.outages, r.fromUtc, r.toUtc, r.stepSeconds);
    return view;
}

HistoryExport ExportOf(HistoryReader* reader, IFileWriter& files, const HistorySpanRequest& r,
                       const std::string& path) {
    HistoryExport done;
    done.request = r;
    done.path = path;
    const std::vector<MinuteRow> minutes = reader ? reader->Minutes(r.fromUtc, r.toUtc) : std::vector<MinuteRow>{};
    if (!files.WriteAll(path, HistoryCsv(minutes), done.error)) {
        if (done.error.empty()) done.error = "the file was not written";
        return done;
    }
    done.minutes = minutes.size();
    return done;
}

}  // namespace

HistoryJobs ReaderJobs(std::filesystem::path file, IFileWriter& files) {
    auto reader = std::make_shared<LazyReader>(std::move(file));
    return {
        [reader](const HistorySpanRequest& r) { return ViewOf(reader->Get(), r); },
        [reader, &files](const HistorySpanRequest& r, const std::string& path) {
            return ExportOf(reader->Get(), files, r, path);
        },
    };
}

}  // namespace velt::ui
