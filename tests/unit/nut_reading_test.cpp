// What the monitor reads from a NUT server elsewhere: real servers' LIST VAR
// replies (tests/data/nut) read by the client from a fake server, then
// mapped; and the status words and odd values one by one.
#include "status/nut_reading.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fake_nut_server.h"
#include "net/nut_client.h"
#include "status/status_words.h"

namespace velt::test {
namespace {

namespace fs = std::filesystem;

const LocalDateTime kWhen{2024, 2, 1, 10, 0, 0, 0, 60};
const fs::path kReplies = fs::path(VELTRANO_SOURCE_DIR) / "tests" / "data" / "nut";

// The reply's lines as a server sends them: the file without its comments.
std::string ReplyOf(const std::string& file) {
    std::ifstream in(kReplies / file);
    std::string reply, line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') reply += line + "\n";
    return reply;
}

// The texts of the seven readings in the order of kReplyFields; "" for absent.
using FieldTexts = std::array<const char*, 7>;

void ExpectFields(const TUPSStatus& status, const FieldTexts& texts) {
    for (size_t i = 0; i < texts.size(); ++i) {
        const ReplyField* field = FieldOfReply(status, kReplyFields[i].field);
        ASSERT_NE(field, nullptr) << kReplyFields[i].key;
        EXPECT_EQ(field->text, texts[i]) << kReplyFields[i].key;
        // Every text the servers sent here is a number.
        EXPECT_EQ(field->value.has_value(), *texts[i] != '\0') << kReplyFields[i].key;
    }
}

TEST(NutReading, RealServersRepliesThroughTheClient) {
    struct Case {
        const char* file;
        const char* ups;
        FieldTexts fields;
        const char* statusField;
        std::optional<double> packVolts, charge;
        NutIdentity identity;
        const char* served;  // ups.status as Veltrano's own server would give it again
    };
    const Case cases[] = {
        {"blazer_usb_mustek_powermust_1000va.txt", "powermust",
         {"228.1", "228.6", "229.5", "7", "50.0", "27.40", "25.0"}, "00000001", 27.4, 100, {}, "OL"},
        {"blazer_usb_aeg_protect_home.txt", "protecthome", {"241.4", "241.4", "237.5", "4", "49.9", "13.60", "25.0"},
         "00000001", 13.6, std::nullopt, {}, "OL"},
        {"usbhid_ups_apc_back_ups_es_650g2.txt", "ups", {"250.0", "", "", "15", "", "13.5", ""}, "00000001", 13.5,
         100, {"American Power Conversion", "Back-UPS ES 650G2", "937.a2 .I", ""}, "OL"},
        {"veltrano_on_line.txt", "ups", {"221", "140", "220", "13", "50.1", "13.6", "25"}, "00000001", 13.6, 100,
         {"Megatec", "Mini \"UPS\" 650\\B", "V2.1", "VT-0001"}, "OL"},
        {"veltrano_on_battery.txt", "ups", {"0", "140", "220", "13", "0", "13.6", "25"}, "10000001", 13.6, 100,
         {"Megatec", "Mini \"UPS\" 650\\B", "V2.1", "VT-0001"}, "OB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string reply = ReplyOf(c.file);
        ASSERT_FALSE(reply.empty());
        FakeNutServer server([&](const std::string& request) {
            const bool known = request == std::string("LIST VAR ") + c.ups;
            return known ? FakeAnswer{{reply}} : FakeAnswer{{"ERR UNKNOWN-UPS\n"}};
        });
        NutClient client;
        ASSERT_TRUE(client.Connect("127.0.0.1", server.Port()).Ok());
        const NutListing listing = client.ListVar(c.ups);
        ASSERT_TRUE(listing.Ok()) << listing.error;

        const NutReading reading = ReadingFromNutVariables(listing.variables, kWhen);
        const TUPSStatus& status = reading.status;
        ExpectFields(status, c.fields);
        EXPECT_EQ(status.UPSStatus.text, c.statusField);
        EXPECT_TRUE(StatusBitsKnown(status));
        EXPECT_EQ(status.FailedField, 0);
        EXPECT_EQ(status.ReplyTime, kWhen);
        EXPECT_EQ(status.BatteryPack.volts, c.packVolts);
        EXPECT_EQ(reading.chargePercent, c.charge);
        EXPECT_EQ(reading.identity, c.identity);
        EXPECT_EQ(reading.beeperStatus, "enabled");
        EXPECT_FALSE(reading.forcedShutdown);
        EXPECT_EQ(NutStatusWords(status, reading.forcedShutdown), c.served);
    }
}

TEST(NutReading, StatusWordsOddValuesAndFallbacks) {
    struct Case {
        const char* name;
        NutVariableTable variables;
        const char* statusField;  // "" when there is no status field
        bool forcedShutdown;
        const char* served;
    };
    const Case cases[] = {
        {"on battery and low", {{"ups.status", "OB LB DISCHRG"}}, "11000000", false, "OB LB"},
        {"FSD first, as upsd puts it", {{"ups.status", "FSD OB LB"}}, "11000000", true, "FSD OB LB"},
        {"boost with the input below the output",
         {{"ups.status", "OL BOOST"}, {"input.voltage", "196.0"}, {"output.voltage", "230.0"}}, "00100000", false,
         "OL BOOST"},
        {"trim with the input above the output",
         {{"ups.status", "OL TRIM"}, {"input.voltage", "253.0"}, {"output.voltage", "230.0"}}, "00100000", false,
         "OL TRIM"},
        {"a calibration is the test in progress", {{"ups.status", "OL CAL"}}, "00000100", false, "OL CAL"},
        {"an alarm is a failed UPS", {{"ups.status", "OL ALARM"}}, "00010000", false, "OL"},
        {"off is a failed UPS", {{"ups.status", "OFF"}}, "00010000", false, "OL"},
        {"blanks around and between the words", {{"ups.status", "  OB   LB  "}}, "11000000", false, "OB LB"},
        {"words are whole: OBX and LBB are not OB and LB", {{"ups.status", "OBX LBB FSDX"}}, "00000000", false, "OL"},
        {"the beeper from ups.beeper.status", {{"ups.status", "OL"}, {"ups.beeper.status", "enabled"}}, "00000001",
         false, "OL"},
        {"a muted beeper is off", {{"ups.status", "OL"}, {"ups.beeper.status", "muted"}}, "00000000", false, "OL"},
        {"ups.beeper.status over the older beeper.status",
         {{"ups.status", "OL"}, {"ups.beeper.status", "disabled"}, {"beeper.status", "enabled"}}, "00000000", false,
         "OL"},
        {"no ups.status: no status field", {{"input.voltage", "230"}}, "", false, "OL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const NutReading reading = ReadingFromNutVariables(c.variables, kWhen);
        EXPECT_EQ(reading.status.UPSStatus.text, c.statusField);
        EXPECT_EQ(StatusBitsKnown(reading.status), *c.statusField != '\0');
        EXPECT_EQ(reading.forcedShutdown, c.forcedShutdown);
        EXPECT_EQ(NutStatusWords(reading.status, reading.forcedShutdown), c.served);
    }
}

TEST(NutReading, PerCellBatteryVoltageCountsTheCellsOfTheNominalPack) {
    struct Case {
        NutVariableTable variables;
        std::optional<double> packVolts;
        int cells;
    } cases[] = {
        {{{"battery.voltage", "2.27"}, {"battery.voltage.nominal", "24"}}, 2.27 * 12, 12},
        {{{"battery.voltage", "27.40"}, {"battery.voltage.nominal", "24"}}, 27.4, 1},
        {{{"battery.voltage", "2.27"}}, 2.27, 1},  // no nominal: taken as given
        {{{"battery.voltage", "0"}, {"battery.voltage.nominal", "24"}}, std::nullopt, 1},
    };
    for (const Case& c : cases) {
        const PackVoltage pack = ReadingFromNutVariables(c.variables, kWhen).status.BatteryPack;
        ASSERT_EQ(pack.volts.has_value(), c.packVolts.has_value());
        if (c.packVolts) {
            EXPECT_NEAR(*pack.volts, *c.packVolts, 1e-9);
        }
        EXPECT_EQ(pack.cells, c.cells);
    }
}

TEST(NutReading, ValuesThatAreNotNumbersKeepTheirTextAndNeverThrow) {
    const NutVariableTable variables = {
        {"ups.status", "OL"},          {"input.voltage", "N/A"},   {"output.voltage", ""},
        {"ups.load", "1e999"},         {"input.frequency", "50,0"}, {"battery.voltage", "--.-"},
        {"ups.temperature", "25.0 C"}, {"battery.charge", "full"},  {"ups.mfr", "Maker"},
        {"ups.model", "Model"},        {"ups.serial", "S1"},        {"device.model", "Device model"},
    };
    const NutReading reading = ReadingFromNutVariables(variables, kWhen);
    const TUPSStatus& status = reading.status;
    const struct {
        const ReplyField& field;
        const char* text;
        std::optional<double> value;
    } fields[] = {
        {status.IPVoltage, "N/A", std::nullopt},    {status.OPVoltage, "", std::nullopt},
        {status.OPCurrent, "1e999", std::nullopt},  {status.IPFrequency, "50,0", 50.0},
        {status.BatteryVoltage, "--.-", std::nullopt}, {status.Temperature, "25.0 C", std::nullopt},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(f.field.text, f.text);
        EXPECT_EQ(f.field.value, f.value) << f.text;
    }
    // A battery voltage that is not a number gives no pack voltage either.
    EXPECT_EQ(status.BatteryPack.volts, std::nullopt);
    EXPECT_EQ(status.FieldsCut, 8);
    EXPECT_EQ(status.FailedField, 0);
    EXPECT_EQ(reading.chargePercent, std::nullopt);
    // device.* first, ups.* where the server gives no device.* name.
    EXPECT_EQ(reading.identity, (NutIdentity{"Maker", "Device model", "", "S1"}));
}

}  // namespace
}  // namespace velt::test
