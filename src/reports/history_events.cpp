#include "reports/history_events.h"

#include <algorithm>
#include <utility>

#include "core/date_time_text.h"

namespace velt {

namespace {

struct BitEvent {
    HistoryEventKind kind;
    bool TUPSStatus::*bit;
};
constexpr std::array<BitEvent, 5> kBitEvents = {{
    {HistoryEventKind::MainsFailure, &TUPSStatus::PowerFail},
    {HistoryEventKind::Avr, &TUPSStatus::AVR},
    {HistoryEventKind::BatteryLow, &TUPSStatus::BatteryLow},
    {HistoryEventKind::UpsFault, &TUPSStatus::UPSFailed},
    {HistoryEventKind::UpsTest, &TUPSStatus::TestInProgress},
}};

std::optional<double> ValueOf(const HistoryReading& reading, HistoryQuantity q) {
    return reading.values[static_cast<size_t>(q)];
}

void Lower(std::optional<double>& lowest, std::optional<double> value) {
    if (value && (!lowest || *value < *lowest)) lowest = value;
}

EventRow Begun(HistoryEventKind kind, int64_t startUtc, int utcOffsetMinutes) {
    EventRow row;
    row.kind = kind;
    row.startUtc = startUtc;
    row.utcOffsetMinutes = utcOffsetMinutes;
    return row;
}

std::string TestOutcome(bool sawBatteryLow, bool sawFault) {
    if (sawFault) return "UPS fault during the test";
    if (sawBatteryLow) return "battery low during the test";
    return "passed";
}

}  // namespace

EventRow MomentEvent(HistoryEventKind kind, const LocalDateTime& when, std::string details) {
    EventRow row = Begun(kind, UnixSeconds(when), when.utcOffsetMinutes);
    row.details = std::move(details);
    return row;
}

std::vector<EventRow> HistoryEventTracker::OnReading(const TUPSStatus& status, const HistoryReading& reading) {
    std::vector<EventRow> out;
    if (!StatusBitsKnown(status)) return out;
    for (const BitEvent& e : kBitEvents) Follow(e.kind, status.*e.bit, status, reading, out);
    return out;
}

void HistoryEventTracker::Follow(HistoryEventKind kind, bool on, const TUPSStatus& status,
                                 const HistoryReading& reading, std::vector<EventRow>& out) {
    Slot& slot = SlotOf(kind);
    const int64_t now = reading.utcMs / 1000;
    if (!on) {
        if (slot) out.push_back(Ended(*slot, now));
        slot.reset();
        return;
    }
    const bool begins = !slot;
    if (begins) {
        slot = Open{Begun(kind, now, reading.utcOffsetMinutes)};
        if (kind == HistoryEventKind::MainsFailure) slot->row.startCharge = ValueOf(reading, HistoryQuantity::Charge);
    }
    Take(*slot, status, reading);
    if (begins) out.push_back(slot->row);
}

// What a lasting event keeps of each reading during it.
void HistoryEventTracker::Take(Open& open, const TUPSStatus& status, const HistoryReading& reading) {
    Lower(open.row.lowestCharge, ValueOf(reading, HistoryQuantity::Charge));
    Lower(open.row.lowestBatteryVolts, ValueOf(reading, HistoryQuantity::BatteryVoltage));
    if (const auto load = ValueOf(reading, HistoryQuantity::Load)) {
        open.loadSum += *load;
        ++open.loadCount;
        open.row.averageLoad = open.loadSum / open.loadCount;
    }
    open.sawBatteryLow |= status.BatteryLow;
    open.sawFault |= status.UPSFailed;
}

EventRow HistoryEventTracker::Ended(Open& open, int64_t endUtc) {
    open.row.endUtc = std::max(endUtc, open.row.startUtc);
    if (open.row.kind == HistoryEventKind::UpsTest) open.row.details = TestOutcome(open.sawBatteryLow, open.sawFault);
    // Only a mains failure's readings say something about the battery's drain.
    if (open.row.kind != HistoryEventKind::MainsFailure) open.row.averageLoad.reset();
    return open.row;
}

std::vector<EventRow> HistoryEventTracker::OnLinkLost(const LocalDateTime& when) {
    Slot& slot = SlotOf(HistoryEventKind::LinkLost);
    if (slot) return {};
    slot = Open{Begun(HistoryEventKind::LinkLost, UnixSeconds(when), when.utcOffsetMinutes)};
    return {slot->row};
}

std::vector<EventRow> HistoryEventTracker::OnLinkBack(const LocalDateTime& when) {
    Slot& slot = SlotOf(HistoryEventKind::LinkLost);
    if (!slot) return {};
    std::vector<EventRow> out{Ended(*slot, UnixSeconds(when))};
    slot.reset();
    return out;
}

std::vector<EventRow> HistoryEventTracker::OnPowerAction(const std::string& action, const LocalDateTime& when) {
    EventRow step = MomentEvent(HistoryEventKind::PowerAction, when);
    step.action = action;
    std::vector<EventRow> out{step};
    if (Slot& failure = SlotOf(HistoryEventKind::MainsFailure)) {
        std::string& did = failure->row.action;
        did += (did.empty() ? "" : ", ") + action;
        out.push_back(failure->row);
    }
    return out;
}

std::vector<EventRow> HistoryEventTracker::CloseAll(const LocalDateTime& when) {
    std::vector<EventRow> out;
    for (Slot& slot : open_) {
        if (!slot) continue;
        out.push_back(Ended(*slot, UnixSeconds(when)));
        slot.reset();
    }
    return out;
}

}  // namespace velt
