#pragma once
// The typed reading as the history takes it: the numbers of one status reply
// (the battery as the whole pack's voltage), the charge shown with it, and
// whether the mains had failed.
#include <optional>

#include "reports/minute_aggregator.h"
#include "status/ups_status.h"

namespace velt {

// `when` is the reply's time from the engine's clock; `chargePercent` the
// estimate or the server's charge shown with it, none without one.
HistoryReading HistoryReadingOf(const TUPSStatus& status, std::optional<double> chargePercent,
                                const LocalDateTime& when);

}  // namespace velt
