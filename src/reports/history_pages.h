#pragma once
// The page server's history documents: /history (an HTML page with the last
// day's chart, the last 30 days' outages and the runtime), /history.csv and
// /history.json. Read on the server's thread through its own reader.
#include <cstdint>
#include <optional>
#include <string>

#include "reports/history_reader.h"
#include "reports/page_request.h"

namespace velt {

enum class HistoryDocument { Page, Csv, Json };

// What the documents are made from.
struct HistoryAccess {
    // None where no history is kept: every history document answers 404.
    HistoryReader* reader = nullptr;
    int64_t nowUtc = 0;
    int utcOffsetMinutes = 0;  // now's: for times asked without an offset
    // The runtime line of /history ("Runtime at this load: 42 min"); left
    // out while none is known.
    std::optional<std::string> runtimeText = {};
    // "UPS Rating W": with it, the last week's energy per day.
    std::optional<double> ratingWatts = {};
};

// The answer for a request already admitted. A query that cannot be answered
// gets 400 with the reason; a CSV may span at most kHistoryMaxPoints minutes
// (400 beyond), a JSON step is widened to keep within as many points. A file
// that cannot be read gets 503 with a short text.
PageResponse HistoryAnswer(HistoryDocument document, const std::string& query, const HistoryAccess& access);

}  // namespace velt
