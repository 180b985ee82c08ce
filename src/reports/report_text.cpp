#include "reports/report_text.h"

#include <array>

#include "reports/markup_text.h"

namespace velt {

namespace {

// The report's reading lines, in the report's order, each naming its field.
struct ReadingLine {
    ReplyField TUPSStatus::*field;
    const char* label;
    const char* unit;  // follows the value directly, with its own leading blank
    bool TUPSSettings::*onPage;
};

constexpr std::array<ReadingLine, 8> kReadingLines = {{
    {&TUPSStatus::IPVoltage, "I/P Voltage = ", " V", &TUPSSettings::IPVoltage},
    {&TUPSStatus::IPFaultVoltage, "I/P Fault Voltage = ", " V", &TUPSSettings::IPFaultVoltage},
    {&TUPSStatus::OPVoltage, "O/P Voltage = ", " V", &TUPSSettings::OPVoltage},
    {&TUPSStatus::OPCurrent, "O/P Current = ", " %", &TUPSSettings::OPCurrent},
    {&TUPSStatus::IPFrequency, "I/P Frequency = ", " Hz", &TUPSSettings::IPFrequency},
    {&TUPSStatus::BatteryVoltage, "Battery Voltage = ", " V", &TUPSSettings::BatteryVoltage},
    {&TUPSStatus::Temperature, "Temperature = ", " \xB0" "C", &TUPSSettings::Temperature},
    {&TUPSStatus::UPSStatus, "UPS Status = ", "", &TUPSSettings::UPSStatus},
}};

struct AlarmLine {
    const char* word;
    bool TUPSStatus::*bit;
    bool TUPSSettings::*onPage;
};

constexpr std::array<AlarmLine, 4> kAlarmLines = {{
    {"Power fail", &TUPSStatus::PowerFail, &TUPSSettings::PowerFail},
    {"Battery Low", &TUPSStatus::BatteryLow, &TUPSSettings::BatteryLow},
    {"AVR On", &TUPSStatus::AVR, &TUPSSettings::AVR},
    {"UPS failed", &TUPSStatus::UPSFailed, &TUPSSettings::UPSFail},
}};

using ValueText = std::string (*)(const std::string&);

std::string AsSent(const std::string& text) { return text; }

// Field texts come from the UPS and the product name from the device: on the
// page they are shown as text, never taken as markup.
std::string AsHtmlText(const std::string& text) { return MarkupText(text); }

// The lines after the header, without their endings. Without a page filter
// every reading line is there.
std::vector<std::string> BodyLines(const ShownStatus& shown, const TUPSSettings* pageFilter, ValueText value) {
    const auto wanted = [pageFilter](bool TUPSSettings::*onPage) { return !pageFilter || pageFilter->*onPage; };
    const UpsIdentityText& id = shown.identity;
    std::vector<std::string> lines{"VID: 0x" + value(id.vid) + " PID: 0x" + value(id.pid) +
                                   " Product: " + value(id.product)};
    for (const ReadingLine& line : kReadingLines)
        if (wanted(line.onPage)) lines.push_back(line.label + value((shown.reading.*line.field).text) + line.unit);
    for (const AlarmLine& alarm : kAlarmLines)
        if (shown.reading.*alarm.bit && wanted(alarm.onPage)) lines.push_back(alarm.word);
    return lines;
}

}  // namespace

std::string ReportSubject(const std::string& dateTimeText) { return "Report - " + dateTimeText; }

std::string ComposeReportText(const ShownStatus& shown, const std::string& dateTimeText) {
    std::string text = ReportSubject(dateTimeText) + "\r\n";
    for (const std::string& line : BodyLines(shown, nullptr, AsSent)) text += line + "\r\n";
    return text;
}

std::vector<std::string> ComposeReportPage(const ShownStatus& shown, const TUPSSettings& settings,
                                           const std::string& dateTimeText) {
    if (!shown.upsFound) return {"UPS not found!</br>"};
    std::vector<std::string> page{"<b>Report</b> - " + AsHtmlText(dateTimeText) + "</br>"};
    for (const std::string& line : BodyLines(shown, &settings, AsHtmlText)) page.push_back(line + "</br>");
    return page;
}

}  // namespace velt
