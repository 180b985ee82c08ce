#include "reports/nut_variables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>

#include "status/status_words.h"

namespace velt {
namespace {

const LocalDateTime kReplyTime{2024, 2, 1, 10, 0, 0, 0};

// A snapshot as the main thread composes it after `reply`, the first one.
ShownStatus AfterReply(const std::string& reply) {
    ShownStatusParts parts;
    parts.upsFound = parts.monitoring = parts.linkResponding = true;
    parts.device.protocol = "Megatec";
    if (const auto status = ParseStatusReply(reply, kReplyTime, true, ',', 12)) {
        parts.reading = *status;
        parts.replied = true;
        parts.nominalBatteryVolts = 12;
    }
    return ComposeShownStatus(std::move(parts));
}

std::optional<std::string> StatusWords(const ShownStatus& shown, bool forcedShutdown) {
    const TUPSStatus* status = LastReply(shown);
    return status ? std::optional(NutStatusWords(*status, forcedShutdown)) : std::nullopt;
}

using Expected = std::map<std::string, std::optional<std::string>>;  // none: the variable is absent

std::optional<std::string> ValueOf(const std::vector<NutVariable>& vars, const std::string& name) {
    for (const NutVariable& var : vars)
        if (var.name == name) return var.value;
    return std::nullopt;
}

TEST(NutVariables, StatusWordsAndWhichReadingsArePresent) {
    struct Case {
        const char* name;
        std::string reply;
        bool forcedShutdown;
        Expected expected;
    };
    const Case cases[] = {
        {"AVR with the input below the output boosts", "(198.0 140.0 220.0 013 50.1 13.6 25.0 00101001", false,
         {{"ups.status", "OL BOOST"}, {"input.voltage", "198"}, {"output.voltage", "220"}, {"ups.load", "13"},
          {"input.frequency", "50.1"}, {"input.voltage.fault", "140"}, {"battery.voltage", "13.6"},
          {"ups.temperature", "25"}, {"ups.beeper.status", "enabled"}}},
        {"AVR with the input above the output trims", "(245.5 140.0 220.0 013 50.1 13.6 25.0 00100000", false,
         {{"ups.status", "OL TRIM"}, {"ups.beeper.status", "disabled"}}},
        {"AVR with equal voltages neither boosts nor trims", "(220.0 140.0 220.0 013 50.1 13.6 25.0 00100000",
         false, {{"ups.status", "OL"}}},
        {"an input that does not convert ends the reply: the words the window still shows",
         "(xyz 140.0 220.0 013 50.1 13.6 25.0 00100000", false,
         {{"ups.status", "OL"}, {"input.voltage", std::nullopt}}},
        {"failure, low battery, a test and FSD; comma decimals; per-cell battery volts",
         "(000.0 000.0 219,6 041 00.0 2,27 31,5 11000100", true,
         {{"ups.status", "FSD OB LB CAL"}, {"input.voltage", "0"}, {"output.voltage", "219.6"},
          {"battery.voltage", "13.62"}, {"ups.temperature", "31.5"}, {"ups.load", "41"}}},
        {"a battery field that does not convert ends the reply", "(221.0 140.0 220.0 013 50.1 --.- 25.0 00000000",
         false,
         {{"ups.status", "OL"}, {"ups.beeper.status", std::nullopt}, {"battery.voltage", std::nullopt},
          {"ups.temperature", std::nullopt}, {"input.voltage", "221"}, {"ups.load", "13"}}},
        {"a text-only field that does not convert is absent", "(221.0 N/A 220.0 013 ? 13.6 25.0 00000000", false,
         {{"ups.status", "OL"}, {"input.voltage.fault", std::nullopt}, {"input.frequency", std::nullopt},
          {"ups.temperature", "25"}}},
        {"a short status field keeps the words shown", "(221.0 140.0 220.0 013 50.1 13.6 25.0 0000", false,
         {{"ups.status", "OL"}, {"ups.beeper.status", std::nullopt}, {"ups.temperature", "25"}}},
        {"before any reply only the fixed variables", "", false,
         {{"ups.status", std::nullopt}, {"input.voltage", std::nullopt}, {"battery.voltage", std::nullopt},
          {"battery.charge", std::nullopt}, {"device.type", "ups"}, {"driver.name", "veltrano"},
          {"ups.mfr", "Megatec"}, {"ups.model", "UPS"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto vars = NutVariables(AfterReply(c.reply), {"SN1", "1.2.3"}, c.forcedShutdown);
        EXPECT_EQ(StatusWords(AfterReply(c.reply), c.forcedShutdown), c.expected.at("ups.status"));
        if (c.expected.at("ups.status")) { EXPECT_EQ(vars.front().name, "ups.status"); }
        for (const auto& [name, value] : c.expected) EXPECT_EQ(ValueOf(vars, name), value) << name;
        for (const NutVariable& var : vars) {
            EXPECT_FALSE(var.value.empty()) << var.name;
            EXPECT_EQ(var.value.find(','), std::string::npos) << var.name;
        }
    }
}

// A reply cut short during a failure's countdown: the clients still read the
// failure the window shows, and FSD once it is set.
TEST(NutVariables, ACutReplyKeepsTheShownFailureAndFSD) {
    ShownStatus shown = AfterReply("(000.0 140.0 220.0 013 50.1 11.6 25");
    shown.reading.PowerFail = shown.reading.BatteryLow = true;  // kept from the reply before
    for (const bool fsd : {false, true}) {
        const auto vars = NutVariables(shown, {"SN1", "1"}, fsd);
        EXPECT_EQ(ValueOf(vars, "ups.status"), fsd ? "FSD OB LB" : "OB LB");
    }
}

TEST(NutVariables, IdentityBatteryAndDeviceFromTheProbes) {
    struct Case {
        const char* name;
        std::function<void(ShownStatus&)> change;
        NutDeviceNames names;
        Expected expected;
    };
    const Case cases[] = {
        {"no I reply: the protocol's name and UPS", [](ShownStatus& s) { s.device.protocol = "Mustek"; },
         {"SN1", "1.2.3"},
         {{"ups.mfr", "Mustek"}, {"ups.model", "UPS"}, {"device.mfr", "Mustek"}, {"device.model", "UPS"},
          {"ups.firmware", std::nullopt}, {"device.serial", "SN1"}, {"driver.version", "1.2.3"}}},
        {"a blank I reply counts as none",
         [](ShownStatus& s) { s.device.info = TUPSInformation{"   ", "", " \t "}; }, {"SN1", "1"},
         {{"ups.mfr", "Megatec"}, {"ups.model", "UPS"}, {"ups.firmware", std::nullopt}}},
        {"the I reply's ANSI texts as UTF-8, control characters as blanks",
         [](ShownStatus& s) { s.device.info = TUPSInformation{"M\xfcller", "Pro\n1000", "V1.0"}; }, {"SN1", "1"},
         {{"ups.mfr", "M\xc3\xbcller"}, {"device.mfr", "M\xc3\xbcller"}, {"ups.model", "Pro 1000"},
          {"ups.firmware", "V1.0"}}},
        {"USB ids as four lower-case hex digits",
         [](ShownStatus& s) {
             s.device.usb = true;
             s.device.vid = 0x0665;
             s.device.pid = 0xA0F;
         },
         {"", "1"},
         {{"ups.vendorid", "0665"}, {"ups.productid", "0a0f"}, {"device.serial", std::nullopt}}},
        {"no USB ids over a serial port", [](ShownStatus&) {}, {"SN1", "1"},
         {{"ups.vendorid", std::nullopt}, {"ups.productid", std::nullopt}}},
        {"the rated battery voltage wins over the estimate's; thresholds and charge",
         [](ShownStatus& s) {
             s.device.rated = RatedValues{230, 4, 24, 50};
             s.live.emptyVolts = 19.4;
             s.live.fullVolts = 27.3;
             s.live.chargePercent = 61.26;
         },
         {"SN1", "1"},
         {{"battery.voltage.nominal", "24"}, {"battery.voltage.low", "19.4"}, {"battery.voltage.high", "27.3"},
          {"battery.charge", "61.3"}}},
        {"the estimate's nominal voltage without an F reply; a charge beyond full is 100",
         [](ShownStatus& s) { s.live.chargePercent = 112.5; }, {"SN1", "1"},
         {{"battery.voltage.nominal", "12"}, {"battery.voltage.low", std::nullopt}, {"battery.charge", "100"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShownStatus shown = AfterReply("(221.0 140.0 220.0 013 50.1 13.6 25.0 00000000");
        c.change(shown);
        const auto vars = NutVariables(shown, c.names, false);
        for (const auto& [name, value] : c.expected) EXPECT_EQ(ValueOf(vars, name), value) << name;
    }
}

// GET TYPE must call a text a text: a client that reads "NUMBER" for a model
// name tries to parse it. Over every variable of a full snapshot.
TEST(NutVariables, TextsAreTypedAsStringsWideEnoughAndReadingsAsNumbers) {
    ShownStatus shown = AfterReply("(221.0 140.0 220.0 013 50.1 13.6 25.0 00000000");
    shown.device.usb = true;
    shown.device.vid = 0xABCD;  // USB ids are texts, even those all in decimal digits
    shown.device.pid = 0x0A0F;
    shown.device.info = TUPSInformation{"M\xfc\xfc\xfc\xfc\xfc\xfc\xfc\xfc\xfc", "Pro 1000", "V1.0"};
    shown.live.chargePercent = 80;
    for (const NutVariable& v : NutVariables(shown, {"VT-00000000000000AB", "1.0.0.0"}, true)) {
        char* end = nullptr;
        std::strtod(v.value.c_str(), &end);
        const bool number = !v.value.empty() && *end == '\0';
        const std::string type = NutType(v);
        if (number) {
            EXPECT_EQ(type, "NUMBER") << v.name;
            continue;
        }
        ASSERT_EQ(type.rfind("STRING:", 0), 0u) << v.name << " " << type;
        EXPECT_GE(std::stoul(type.substr(7)), v.value.size()) << v.name;
    }
    EXPECT_EQ(NutType({"ups.model", "Pro 1000"}), "STRING:10");
    EXPECT_EQ(NutType({"ups.mfr", std::string(19, 'x')}), "STRING:19");  // grown on its way to UTF-8
    EXPECT_EQ(NutType({"ups.productid", "0a0f"}), "STRING:4");
    EXPECT_EQ(NutType({"input.voltage", "221"}), "NUMBER");
}

TEST(NutVariables, TheUpsDescriptionIsItsMakerAndModelOnceItNamesThem) {
    const struct {
        std::optional<TUPSInformation> info;
        const char* description;
    } cases[] = {
        {std::nullopt, ""},
        {TUPSInformation{"  ", "", "V1"}, ""},
        {TUPSInformation{"Megatec", "Mini 650", "V1"}, "Megatec Mini 650"},
        {TUPSInformation{"", "Mini 650", ""}, "Mini 650"},
        {TUPSInformation{"M\xfcller", "", ""}, "M\xc3\xbcller"},
    };
    for (const auto& c : cases) {
        ShownStatus shown = AfterReply("(221.0 140.0 220.0 013 50.1 13.6 25.0 00000000");
        shown.device.info = c.info;
        EXPECT_EQ(NutUpsDescription(shown), c.description);
    }
}

}  // namespace
}  // namespace velt
