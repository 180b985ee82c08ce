#pragma once
// Turns what the monitor sees into the history's event rows: the rises and
// falls of the UPS's state bits, the link's loss and return, power actions,
// the program's start and exit. An event that lasts is handed on when it
// begins (no end yet, so a process killed meanwhile still leaves its start)
// and again with each change and at its end; the store keeps one row per
// kind and start.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reports/history_rows.h"
#include "reports/minute_aggregator.h"
#include "status/ups_status.h"

namespace velt {

class HistoryEventTracker {
public:
    // `reading` is `status` as the history takes it (its time, charge, load).
    std::vector<EventRow> OnReading(const TUPSStatus& status, const HistoryReading& reading);
    std::vector<EventRow> OnLinkLost(const LocalDateTime& when);
    std::vector<EventRow> OnLinkBack(const LocalDateTime& when);
    // A step of the power-fail action ("external program", "shutdown", ...):
    // its own event, and noted on the mains failure under way.
    std::vector<EventRow> OnPowerAction(const std::string& action, const LocalDateTime& when);
    // Whatever still lasts ends here, for the program ends.
    std::vector<EventRow> CloseAll(const LocalDateTime& when);

private:
    struct Open {
        EventRow row;
        double loadSum = 0;
        int loadCount = 0;
        bool sawBatteryLow = false, sawFault = false;
    };
    using Slot = std::optional<Open>;
    Slot& SlotOf(HistoryEventKind kind) { return open_[static_cast<size_t>(kind)]; }
    void Follow(HistoryEventKind kind, bool on, const TUPSStatus& status, const HistoryReading& reading,
                std::vector<EventRow>& out);
    static void Take(Open& open, const TUPSStatus& status, const HistoryReading& reading);
    static EventRow Ended(Open& open, int64_t endUtc);

    std::array<Slot, 9> open_;  // by HistoryEventKind
};

// An event without a length (start, exit, an action) at `when`.
EventRow MomentEvent(HistoryEventKind kind, const LocalDateTime& when, std::string details = {});

}  // namespace velt
