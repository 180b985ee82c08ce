// The minutes as CSV: a header naming every column, one line a minute in UTC,
// empty fields for what a minute did not hold.
#include "reports/history_csv.h"

#include <gtest/gtest.h>

namespace velt {
namespace {

TEST(HistoryCsv, OneLineAMinuteUnderAHeader) {
    MinuteRow full;
    full.minuteUtc = 1709251200;  // 2024-03-01 00:00 UTC
    full.utcOffsetMinutes = 60;
    for (auto& v : full.values) v = MinuteStats{1.04, 2.25, 3.5};
    full.onBatterySeconds = 60;
    MinuteRow sparse;
    sparse.minuteUtc = 1709251200 - 60;
    sparse.values[static_cast<size_t>(HistoryQuantity::Load)] = MinuteStats{30, 31, 32};

    const std::string csv = HistoryCsv({sparse, full});
    const std::string expected =
        "time,utc_offset_minutes,input_voltage_min,input_voltage_avg,input_voltage_max,output_voltage_min,"
        "output_voltage_avg,output_voltage_max,load_min,load_avg,load_max,frequency_min,frequency_avg,"
        "frequency_max,battery_voltage_min,battery_voltage_avg,battery_voltage_max,temperature_min,"
        "temperature_avg,temperature_max,charge_min,charge_avg,charge_max,on_battery_seconds\r\n"
        "2024-02-29T23:59:00Z,0,,,,,,,30.0,31.0,32.0,,,,,,,,,,,,,0\r\n"
        "2024-03-01T00:00:00Z,60" + [] {
            std::string fields;
            for (size_t i = 0; i < kHistoryQuantities; ++i) fields += ",1.0,2.2,3.5";
            return fields;
        }() + ",60\r\n";
    EXPECT_EQ(csv, expected);
    EXPECT_EQ(HistoryCsv({}), expected.substr(0, expected.find("\r\n") + 2));
}

}  // namespace
}  // namespace velt
