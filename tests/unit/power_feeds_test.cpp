// The runtime and the watts in the NUT variables, the JSON and the metrics:
// there when known, absent (never zero) when not, and gone with the readings
// once the UPS is silent.
#include <gtest/gtest.h>

#include "reports/nut_variables.h"
#include "reports/status_json.h"
#include "reports/status_metrics.h"

namespace velt {
namespace {

ShownStatus Composed(const ShownPower& power, bool responding) {
    ShownStatusParts parts;
    parts.upsFound = parts.monitoring = true;
    parts.linkResponding = responding;
    parts.reading = *ParseStatusReply("(000.0 140.0 220.0 041 00.0 13.6 25.0 10000001", {2024, 2, 1, 10, 0, 0, 0, 60},
                                      true, '.', 12);
    parts.replied = true;
    parts.nominalBatteryVolts = 12;
    parts.power = power;
    return ComposeShownStatus(std::move(parts));
}

std::optional<std::string> NutValue(const ShownStatus& shown, const std::string& name) {
    for (const NutVariable& v : NutVariables(shown, {"SN1", "1"}, false))
        if (v.name == name) return v.value;
    return std::nullopt;
}

bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PowerFeeds, EachFigureIsGivenOnlyWhenKnown) {
    const ShownPower all{754, 1020, 287.4, 700.0};
    struct Case {
        const char* name;
        ShownPower power;
        bool responding;
        std::optional<std::string> runtime, realPower, nominal;
    };
    const Case cases[] = {
        {"everything known", all, true, "754", "287", "700"},
        {"nothing known", {}, true, std::nullopt, std::nullopt, std::nullopt},
        {"the rating alone", {std::nullopt, std::nullopt, std::nullopt, 700.0}, true, std::nullopt, std::nullopt,
         "700"},
        {"a silent UPS keeps only its rating", all, false, std::nullopt, std::nullopt, "700"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ShownStatus shown = Composed(c.power, c.responding);
        EXPECT_EQ(NutValue(shown, "battery.runtime"), c.runtime);
        EXPECT_EQ(NutValue(shown, "ups.realpower"), c.realPower);
        EXPECT_EQ(NutValue(shown, "ups.realpower.nominal"), c.nominal);

        const std::string json = StatusJson(shown, "ups");
        EXPECT_EQ(Holds(json, "\"runtime_seconds\":754"), c.runtime.has_value()) << json;
        EXPECT_EQ(Holds(json, "\"full_charge_runtime_seconds\":1020"), c.runtime.has_value()) << json;
        EXPECT_EQ(Holds(json, "\"real_power_watts\":287.4"), c.realPower.has_value()) << json;
        EXPECT_EQ(Holds(json, "\"nominal_power_watts\":700"), c.nominal.has_value()) << json;

        // A silent UPS has no series beyond its silence, the rating included.
        const std::string metrics = StatusMetrics(shown, "ups");
        EXPECT_EQ(Holds(metrics, "veltrano_battery_runtime_seconds{ups=\"ups\"} 754\n"), c.runtime.has_value());
        EXPECT_EQ(Holds(metrics, "veltrano_battery_full_charge_runtime_seconds{ups=\"ups\"} 1020\n"),
                  c.runtime.has_value());
        EXPECT_EQ(Holds(metrics, "veltrano_real_power_watts{ups=\"ups\"} 287.4\n"), c.realPower.has_value());
        EXPECT_EQ(Holds(metrics, "veltrano_nominal_power_watts{ups=\"ups\"} 700\n"),
                  c.nominal.has_value() && c.responding);
    }
}

}  // namespace
}  // namespace velt
