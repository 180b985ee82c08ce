#pragma once
// What the page server answers with, from the snapshots the main thread
// publishes (what the window shows and the settings) and from the history's
// file through a reader of its own. Called on the server's thread.
#include <filesystem>
#include <memory>

#include "core/published.h"
#include "core/ups_settings.h"
#include "net/http_page_server.h"
#include "reports/history_reader.h"
#include "status/shown_status.h"
#include "sys/clock.h"
#include "sys/date_time_format.h"

namespace velt {

class PageSource final : public IPageSource {
public:
    // An empty `historyFile` keeps no history: its documents answer 404.
    PageSource(const ShownStatusPublisher& shown, const Published<TUPSSettings>& settings, const IClock& clock,
               const IDateTimeFormat& dateFormat, const std::filesystem::path& historyFile);

    // A page that cannot be composed leaves the request with the plain 200
    // answer; the server goes on.
    PageResponse Answer(const PageRequest& request) override;

private:
    const ShownStatusPublisher& shown_;
    const Published<TUPSSettings>& settings_;
    const IClock& clock_;
    const IDateTimeFormat& dateFormat_;
    // Only the server's thread reads through it, one request at a time.
    std::unique_ptr<HistoryReader> history_;
};

}  // namespace velt
