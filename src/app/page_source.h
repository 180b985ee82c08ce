#pragma once
// What the page server answers with, from the snapshots the main thread
// publishes: what the window shows and the settings. Called on the server's
// thread; reads nothing else.
#include "core/published.h"
#include "core/ups_settings.h"
#include "net/http_page_server.h"
#include "status/shown_status.h"
#include "sys/clock.h"
#include "sys/date_time_format.h"

namespace velt {

class PageSource final : public IPageSource {
public:
    PageSource(const ShownStatusPublisher& shown, const Published<TUPSSettings>& settings, const IClock& clock,
                const IDateTimeFormat& dateFormat)
        : shown_(shown), settings_(settings), clock_(clock), dateFormat_(dateFormat) {}

    // A page that cannot be composed leaves the request with the plain 200
    // answer; the server goes on.
    PageResponse Answer(const PageRequest& request) override;

private:
    const ShownStatusPublisher& shown_;
    const Published<TUPSSettings>& settings_;
    const IClock& clock_;
    const IDateTimeFormat& dateFormat_;
};

}  // namespace velt
