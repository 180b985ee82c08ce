#include "app/page_source.h"

#include <exception>

#include "core/date_time_text.h"

namespace velt {

PageResponse PageSource::Answer(const PageRequest& request) {
    try {
        const auto shown = shown_.Current();
        const auto settings = settings_.Current();
        return IdHTTPSCommandGet(request, *shown, *settings, DateTimeText(clock_.Now(), dateFormat_));
    } catch (const std::exception&) {
        return StatusPage(200);
    }
}

}  // namespace velt
