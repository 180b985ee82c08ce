#pragma once
// The history as files for programs: the minutes as CSV (the window's export
// and /history.csv) and the points and outages as JSON (/history.json).
#include <string>
#include <vector>

#include "reports/history_query.h"
#include "reports/history_reader.h"

namespace velt {

// A header line, then one line per minute: its local time with its offset
// (ISO 8601), each quantity's min, avg and max, the seconds on battery and
// the readings. Numbers with a '.' whatever the user's locale; an empty cell
// for a quantity the minute did not hold. Lines end in CR LF.
std::string HistoryCsv(const std::vector<MinuteRow>& minutes);

// {"from":..,"to":..,"step":..,"points":[..],"outages":[..]}; times as local
// ISO 8601 (the span's at `utcOffsetMinutes`, each point's and outage's at
// its own offset). A step widened to fit adds "requested_step". A quantity a
// point lacks is left out; an outage under way has "end" and "seconds" null.
std::string HistoryJson(const HistorySpan& span, int utcOffsetMinutes, const std::vector<HistoryPoint>& points,
                        const std::vector<EventRow>& outages);

}  // namespace velt
