#include "reports/history_rows.h"

#include <algorithm>

namespace velt {

const char* HistoryEventKindName(HistoryEventKind kind) {
    switch (kind) {
        case HistoryEventKind::MainsFailure: return "mains_failure";
        case HistoryEventKind::Avr: return "avr";
        case HistoryEventKind::BatteryLow: return "battery_low";
        case HistoryEventKind::UpsFault: return "ups_fault";
        case HistoryEventKind::LinkLost: return "link_lost";
        case HistoryEventKind::UpsTest: return "ups_test";
        case HistoryEventKind::PowerAction: return "power_action";
        case HistoryEventKind::ProgramStart: return "program_start";
        case HistoryEventKind::ProgramExit: return "program_exit";
    }
    return "unknown";
}

std::optional<HistoryEventKind> HistoryEventKindFromName(std::string_view name) {
    constexpr HistoryEventKind kKinds[] = {HistoryEventKind::MainsFailure, HistoryEventKind::Avr,
                                           HistoryEventKind::BatteryLow,   HistoryEventKind::UpsFault,
                                           HistoryEventKind::LinkLost,     HistoryEventKind::UpsTest,
                                           HistoryEventKind::PowerAction,  HistoryEventKind::ProgramStart,
                                           HistoryEventKind::ProgramExit};
    for (HistoryEventKind kind : kKinds)
        if (name == HistoryEventKindName(kind)) return kind;
    return std::nullopt;
}

int ClampHistoryDays(int days) { return std::clamp(days, kHistoryDaysMin, kHistoryDaysMax); }

}  // namespace velt
