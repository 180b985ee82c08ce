#include "reports/report_text.h"

#include <initializer_list>

#include <gtest/gtest.h>

namespace velt {
namespace {

const std::string kTime = "01.02.2024 10:00:00";

ShownStatus Shown(TUPSStatus reading, UpsIdentityText identity = {"0665", "5161", "UPS"}) {
    ShownStatusParts parts;
    parts.reading = std::move(reading);
    parts.replied = parts.upsFound = true;
    parts.identity = std::move(identity);
    return ComposeShownStatus(std::move(parts));
}

// A full reply as shown: the load keeps its leading zero; the boxes as the
// window left them, whatever this reply's bits.
TUPSStatus Reading(bool powerFail, bool batteryLow, bool avr, bool upsFailed) {
    TUPSStatus reading = *ParseStatusReply("(221.0 140.0 220.0 013 50.1 13.6 25.0 11110000", {}, true);
    reading.PowerFail = powerFail;
    reading.BatteryLow = batteryLow;
    reading.AVR = avr;
    reading.UPSFailed = upsFailed;
    return reading;
}

TUPSStatus InputVoltageOnly(const std::string& text) {
    TUPSStatus reading;
    reading.IPVoltage.text = text;
    return reading;
}

const std::vector<std::string> kReadingLines = {
    "I/P Voltage = 221.0 V", "I/P Fault Voltage = 140.0 V", "O/P Voltage = 220.0 V",
    "O/P Current = 013 %",   "I/P Frequency = 50.1 Hz",     "Battery Voltage = 13.6 V",
    "Temperature = 25.0 \xB0" "C", "UPS Status = 11110000"};

std::string CrLfText(std::initializer_list<std::vector<std::string>> parts) {
    std::string text;
    for (const auto& part : parts)
        for (const auto& line : part) text += line + "\r\n";
    return text;
}

TEST(ReportText, AllTenLinesWhateverTheSettingsThenTheActiveAlarmsInOrder) {
    struct Case {
        const char* name;
        ShownStatus shown;
        std::string expected;
    };
    const std::vector<std::string> head = {"Report - " + kTime, "VID: 0x0665 PID: 0x5161 Product: UPS"};
    const Case cases[] = {
        {"before the first reply, nothing between label and unit", ShownStatus{},
         CrLfText({{"Report - " + kTime, "VID: 0x PID: 0x Product: ", "I/P Voltage =  V", "I/P Fault Voltage =  V",
                    "O/P Voltage =  V", "O/P Current =  %", "I/P Frequency =  Hz", "Battery Voltage =  V",
                    "Temperature =  \xB0" "C", "UPS Status = "}})},
        {"power fail and battery low", Shown(Reading(true, true, false, false)),
         CrLfText({head, kReadingLines, {"Power fail", "Battery Low"}})},
        {"AVR and UPS failed", Shown(Reading(false, false, true, true)),
         CrLfText({head, kReadingLines, {"AVR On", "UPS failed"}})},
        {"markup in the product name is text as sent", Shown(Reading(false, false, false, false), {"", "", "A<b>&"}),
         CrLfText({{"Report - " + kTime, "VID: 0x PID: 0x Product: A<b>&"}, kReadingLines})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = ComposeReportText(c.shown, kTime);
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(text.substr(0, text.find("\r\n")), ReportSubject(kTime));
    }
}

TUPSSettings PageWithout(std::initializer_list<bool TUPSSettings::*> off) {
    TUPSSettings settings;
    for (const auto line : off) settings.*line = false;
    return settings;
}

std::vector<std::string> PageLines(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> page;
    for (const auto& part : parts)
        for (const auto& line : part) page.push_back(line + "</br>");
    return page;
}

TEST(ReportPage, TheSettingsChooseTheLinesAndNothingButNotFoundWithoutAUps) {
    struct Case {
        const char* name;
        ShownStatus shown;
        TUPSSettings settings;
        std::vector<std::string> expected;
    };
    const std::vector<std::string> head = {"<b>Report</b> - " + kTime, "VID: 0x0665 PID: 0x5161 Product: UPS"};
    ShownStatus notFound = Shown(Reading(true, true, true, true));
    notFound.upsFound = false;
    const Case cases[] = {
        {"no UPS found", notFound, TUPSSettings{}, {"UPS not found!</br>"}},
        {"every line on", Shown(Reading(true, true, false, false)), TUPSSettings{},
         PageLines({head, kReadingLines, {"Power fail", "Battery Low"}})},
        {"power fail off hides only its word", Shown(Reading(true, true, false, false)),
         PageWithout({&TUPSSettings::PowerFail}), PageLines({head, kReadingLines, {"Battery Low"}})},
        {"each reading line has its own setting", Shown(Reading(false, false, false, false)),
         PageWithout({&TUPSSettings::OPCurrent, &TUPSSettings::Temperature}),
         PageLines({head,
                    {kReadingLines[0], kReadingLines[1], kReadingLines[2], kReadingLines[4], kReadingLines[5],
                     kReadingLines[7]}})},
        {"all readings off, UPS fail off", Shown(Reading(false, false, true, true)),
         PageWithout({&TUPSSettings::IPVoltage, &TUPSSettings::IPFaultVoltage, &TUPSSettings::OPVoltage,
                      &TUPSSettings::OPCurrent, &TUPSSettings::IPFrequency, &TUPSSettings::BatteryVoltage,
                      &TUPSSettings::Temperature, &TUPSSettings::UPSStatus, &TUPSSettings::UPSFail}),
         PageLines({head, {"AVR On"}})},
        {"serial UPS before any USB search: labels alone, empty readings", Shown(TUPSStatus{}, {}),
         PageWithout({&TUPSSettings::IPFaultVoltage, &TUPSSettings::OPVoltage, &TUPSSettings::OPCurrent,
                      &TUPSSettings::IPFrequency, &TUPSSettings::BatteryVoltage, &TUPSSettings::Temperature,
                      &TUPSSettings::UPSStatus}),
         PageLines({{"<b>Report</b> - " + kTime, "VID: 0x PID: 0x Product: ", "I/P Voltage =  V"}})},
        {"device and UPS texts are never markup", Shown(InputVoltageOnly("<i>"), {"", "", "A<b>&"}),
         PageWithout({&TUPSSettings::IPFaultVoltage, &TUPSSettings::OPVoltage, &TUPSSettings::OPCurrent,
                      &TUPSSettings::IPFrequency, &TUPSSettings::BatteryVoltage, &TUPSSettings::Temperature,
                      &TUPSSettings::UPSStatus}),
         PageLines({{"<b>Report</b> - " + kTime, "VID: 0x PID: 0x Product: A&lt;b&gt;&amp;",
                     "I/P Voltage = &lt;i&gt; V"}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ComposeReportPage(c.shown, c.settings, kTime), c.expected);
    }
}

}  // namespace
}  // namespace velt
