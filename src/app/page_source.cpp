#include "app/page_source.h"

#include <exception>

#include "core/date_time_text.h"
#include "reports/history_pages.h"
#include "reports/duration_text.h"

namespace velt {

namespace {

// The page's runtime line, as the window's status page words it.
std::optional<std::string> RuntimeText(const ShownPower& power, bool onBattery) {
    const std::optional<int>& seconds = onBattery ? power.runtimeSeconds : power.fullChargeRuntimeSeconds;
    if (!seconds) return std::nullopt;
    return (onBattery ? "Runtime left: " : "Full-charge runtime at this load: ") + DurationText(*seconds);
}

}  // namespace

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
        HistoryAccess history;
        history.reader = history_.get();
        history.nowUtc = UnixSeconds(now);
        history.utcOffsetMinutes = now.utcOffsetMinutes;
        history.runtimeText = RuntimeText(shown->live.power, shown->replied && shown->reading.PowerFail);
        history.ratingWatts = shown->live.power.ratingWatts;
        PageResponse response =
            IdHTTPSCommandGet(request, *shown, *settings, DateTimeText(now, dateFormat_), &history);
        if (history_) history_->Close();
        return response;
    } catch (const std::exception&) {
        return StatusPage(200);
    }
}

}  // namespace velt
