#include "status/status_words.h"

namespace velt {

namespace {

Regulation RegulationOf(const TUPSStatus& status) {
    const ReplyField* input = FieldOfReply(status, &TUPSStatus::IPVoltage);
    const ReplyField* output = FieldOfReply(status, &TUPSStatus::OPVoltage);
    if (!status.AVR || !input || !input->value || !output || !output->value) return Regulation::None;
    if (*input->value < *output->value) return Regulation::Boost;
    if (*input->value > *output->value) return Regulation::Trim;
    return Regulation::Level;
}

}  // namespace

StatusWords StatusWordsOf(const TUPSStatus& status, bool forcedShutdown) {
    StatusWords words;
    words.forcedShutdown = forcedShutdown;
    words.onBattery = status.PowerFail;
    words.batteryLow = status.BatteryLow;
    words.regulation = RegulationOf(status);
    words.calibrating = StatusBitsKnown(status) && status.TestInProgress;
    return words;
}

std::string NutStatusWords(const TUPSStatus& status, bool forcedShutdown) {
    const StatusWords words = StatusWordsOf(status, forcedShutdown);
    std::string text = words.forcedShutdown ? "FSD " : "";
    text += words.onBattery ? "OB" : "OL";
    if (words.batteryLow) text += " LB";
    if (words.regulation == Regulation::Boost) text += " BOOST";
    if (words.regulation == Regulation::Trim) text += " TRIM";
    if (words.calibrating) text += " CAL";
    return text;
}

}  // namespace velt
