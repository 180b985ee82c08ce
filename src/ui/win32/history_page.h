#pragma once
// The "History" page: a drop-down of spans, the chart of the chosen span, the
// outages in it and "Export CSV". The queries run on the page's own worker;
// their answers come back as posted tasks. The page reads again when it comes
// into view, when the span changes and once a minute while in view. Main
// thread only.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "sys/file_writer.h"
#include "sys/main_thread_post.h"
#include "ui/history_queries.h"
#include "ui/win32/control_set.h"

namespace velt::ui {

struct HistoryPageSeams {
    HWND owner;                  // for the minute's timer and the save dialog
    IMainThreadPost& post;       // the worker's answers
    IFileWriter& files;          // the export, from the worker
    std::function<void(const std::string&)> showError;
};

class HistoryPage {
public:
    HistoryPage(const ControlSet& controls, HINSTANCE inst, HistoryPageSeams seams, std::filesystem::path file);
    HistoryPage(const HistoryPage&) = delete;
    HistoryPage& operator=(const HistoryPage&) = delete;
    ~HistoryPage();

    // Selected and the window shown: read now, then every minute till out of view.
    void SetInView(bool inView);
    // A change of span; true when the command was the page's.
    bool OnCommand(int id, int code);
    void OnTimer();
    // "Export CSV": asks where, then the worker writes the span's minutes.
    void ExportCsv();
    // The list's columns at the window's new DPI.
    void Rescale();

private:
    void FillSpans();
    void AddColumns();
    ChartSpan SelectedSpan() const;
    void Refresh();
    void ShowView(HistoryView view);
    void ShowOutages(const std::vector<EventRow>& outages);
    void ShowExport(const HistoryExport& done);

    const ControlSet& controls_;
    HINSTANCE inst_;
    HistoryPageSeams seams_;
    bool inView_ = false;
    HistoryQueries queries_;  // last: its worker ends first
};

}  // namespace velt::ui
