#include "ui/win32/history_page.h"

#include <commctrl.h>

#include <algorithm>
#include <ctime>

#include "ui/control_ids.h"
#include "ui/dpi_scale.h"
#include "ui/history_reader_jobs.h"
#include "ui/outage_text.h"
#include "ui/win32/file_dialogs.h"
#include "ui/win32/history_chart_view.h"
#include "ui/win32/string_resources.h"
#include "ui/win32/window_messages.h"

namespace velt::ui {

namespace {

constexpr UINT kRefreshMs = 60 * 1000;
constexpr int kOpeningSpan = 1;  // "Last day"
constexpr const char* kProposedCsvName = "history.csv";

// The columns at least as wide as their title and the widest text they hold;
// the last one takes what is left.
struct Column {
    StringId title;
    int width;           // at 96 DPI, at least
    const char* widest;  // a text as wide as any the column shows
};
constexpr Column kColumns[] = {{IDS_OutageStart, 84, "2000-00-00 00:00"},
                               {IDS_OutageLength, 56, "0 min 00 s"},
                               {IDS_OutageLowestCharge, 70, "100 %"},
                               {IDS_OutageAction, 48, ""}};
constexpr int kCellPadding = 13;  // a cell's margins and the header's divider, at 96 DPI

int ColumnWidth(HWND list, const Column& column, const std::string& title, int dpi) {
    int width = ScaleToDpi(column.width, dpi);
    for (const char* text : {title.c_str(), column.widest}) {
        const LPARAM asked = reinterpret_cast<LPARAM>(text);
        const int measured = static_cast<int>(::SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, asked));
        width = std::max(width, measured + ScaleToDpi(kCellPadding, dpi));
    }
    return width;
}

int64_t NowUtc() { return static_cast<int64_t>(std::time(nullptr)); }

void SetCell(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void AddRow(HWND list, int row, const OutageText& text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(text.start.c_str());
    const int at = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) return;
    SetCell(list, at, 1, text.length);
    SetCell(list, at, 2, text.lowestCharge);
    SetCell(list, at, 3, text.action);
}

}  // namespace

HistoryPage::HistoryPage(const ControlSet& controls, HINSTANCE inst, HistoryPageSeams seams,
                         std::filesystem::path file)
    : controls_(controls),
      inst_(inst),
      seams_(std::move(seams)),
      queries_(seams_.post, ReaderJobs(std::move(file), seams_.files),
               [this](HistoryView view) { ShowView(std::move(view)); },
               [this](HistoryExport done) { ShowExport(done); }) {
    FillSpans();
    AddColumns();
}

HistoryPage::~HistoryPage() { SetInView(false); }

void HistoryPage::FillSpans() {
    std::vector<std::string> names;
    for (const ChartSpan span : kChartSpans) names.emplace_back(ChartSpanName(span));
    controls_.SetItems(IDC_HistorySpanLB, names);
    controls_.SetSelection(IDC_HistorySpanLB, kOpeningSpan);
}

void HistoryPage::AddColumns() {
    HWND list = controls_.Get(IDC_OutageLV);
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (size_t i = 0; i < std::size(kColumns); ++i) {
        std::string title = LoadText(inst_, kColumns[i].title);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = title.data();
        column.iSubItem = static_cast<int>(i);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    Rescale();
}

// Measured in the list's font, which follows the window's DPI.
void HistoryPage::Rescale() {
    HWND list = controls_.Get(IDC_OutageLV);
    const size_t last = std::size(kColumns) - 1;
    for (size_t i = 0; i < last; ++i) {
        const int width = ColumnWidth(list, kColumns[i], LoadText(inst_, kColumns[i].title), controls_.Dpi());
        ::SendMessageA(list, LVM_SETCOLUMNWIDTH, i, width);
    }
    ::SendMessageA(list, LVM_SETCOLUMNWIDTH, last, LVSCW_AUTOSIZE_USEHEADER);
}

void HistoryPage::SetInView(bool inView) {
    if (inView == inView_) return;
    inView_ = inView;
    if (!inView) {
        ::KillTimer(seams_.owner, kHistoryTimerId);
        return;
    }
    Refresh();
    ::SetTimer(seams_.owner, kHistoryTimerId, kRefreshMs, nullptr);
}

bool HistoryPage::OnCommand(int id, int code) {
    if (id != IDC_HistorySpanLB) return false;
    if (code == CBN_SELCHANGE) Refresh();
    return true;
}

void HistoryPage::OnTimer() {
    if (inView_) Refresh();
}

ChartSpan HistoryPage::SelectedSpan() const {
    const int index = controls_.Selection(IDC_HistorySpanLB).value_or(kOpeningSpan);
    return kChartSpans[static_cast<size_t>(index) < kChartSpans.size() ? index : kOpeningSpan];
}

void HistoryPage::Refresh() { queries_.AskView(SpanRequest(SelectedSpan(), NowUtc())); }

// An answer for a span no longer chosen is dropped: the one asked since follows.
void HistoryPage::ShowView(HistoryView view) {
    if (view.request.span != SelectedSpan()) return;
    std::string message = LoadText(inst_, IDS_HistoryEmpty);
    if (!view.error.empty()) {
        message = LoadText(inst_, IDS_HistoryUnreadable) + ": " + view.error;
        view.chart = HistoryChart{};
    }
    SetHistoryChart(controls_.Get(IDC_HistoryChart), std::move(view.chart), message);
    ShowOutages(view.outages);
}

// The latest first.
void HistoryPage::ShowOutages(const std::vector<EventRow>& outages) {
    HWND list = controls_.Get(IDC_OutageLV);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    const int64_t now = NowUtc();
    int row = 0;
    for (auto it = outages.rbegin(); it != outages.rend(); ++it) AddRow(list, row++, OutageTextOf(*it, now));
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void HistoryPage::ExportCsv() {
    const HistorySpanRequest span = SpanRequest(SelectedSpan(), NowUtc());
    if (const auto path = AskSaveCsvFile(seams_.owner, inst_, kProposedCsvName)) queries_.AskExport(span, *path);
}

void HistoryPage::ShowExport(const HistoryExport& done) {
    if (done.error.empty() || !seams_.showError) return;
    seams_.showError(LoadText(inst_, IDS_ExportFailed) + " " + done.path + ":\n" + done.error);
}

}  // namespace velt::ui
