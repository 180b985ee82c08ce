#include "app/page_source.h"

#include <exception>

#include "core/date_time_text.h"
#include "reports/history_pages.h"

namespace velt {

PageSource::PageSource(const ShownStatusPublisher& shown, const Published<TUPSSettings>& settings,
                       const IClock& clock, const IDateTimeFormat& dateFormat,
                       const std::filesystem::path& historyFile)
    : shown_(shown), settings_(settings), clock_(clock), dateFormat_(dateFormat),
      history_(historyFile.empty() ? nullptr : std::make_unique<HistoryReader>(historyFile)) {}

PageResponse PageSource::Answer(const PageRequest& request) {
    try {
        const auto shown = shown_.Current();
        const auto settings = settings_.Current();
        const LocalDateTime now = clock_.Now();
        const HistoryAccess history{history_.get(), UnixSeconds(now), now.utcOffsetMinutes, std::nullopt};
        PageResponse response =
            IdHTTPSCommandGet(request, *shown, *settings, DateTimeText(now, dateFormat_), &history);
        if (history_) history_->Close();
        return response;
    } catch (const std::exception&) {
        return StatusPage(200);
    }
}

}  // namespace velt
