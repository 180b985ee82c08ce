#include "reports/history_reading.h"

#include "core/date_time_text.h"

namespace velt {

namespace {

std::optional<double> NumberOf(const TUPSStatus& status, ReplyField TUPSStatus::*field) {
    const ReplyField* reached = FieldOfReply(status, field);
    return reached ? reached->value : std::nullopt;
}

}  // namespace

HistoryReading HistoryReadingOf(const TUPSStatus& status, std::optional<double> chargePercent,
                                const LocalDateTime& when) {
    HistoryReading reading;
    reading.utcMs = UnixSeconds(when) * 1000 + when.millisecond;
    reading.utcOffsetMinutes = when.utcOffsetMinutes;
    auto set = [&](HistoryQuantity q, std::optional<double> v) { reading.values[static_cast<size_t>(q)] = v; };
    set(HistoryQuantity::InputVoltage, NumberOf(status, &TUPSStatus::IPVoltage));
    set(HistoryQuantity::OutputVoltage, NumberOf(status, &TUPSStatus::OPVoltage));
    set(HistoryQuantity::Load, NumberOf(status, &TUPSStatus::OPCurrent));
    set(HistoryQuantity::Frequency, NumberOf(status, &TUPSStatus::IPFrequency));
    set(HistoryQuantity::BatteryVoltage, status.BatteryPack.volts);
    set(HistoryQuantity::Temperature, NumberOf(status, &TUPSStatus::Temperature));
    set(HistoryQuantity::Charge, chargePercent);
    reading.onBattery = StatusBitsKnown(status) && status.PowerFail;
    return reading;
}

}  // namespace velt
