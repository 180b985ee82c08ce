#include "status/ups_status.h"

namespace velt {

namespace {

// A field that does not convert ends the reply only where a number is needed:
// the input voltage, the output voltage and the battery voltage.
bool EndsReplyWhenNotANumber(ReplyField TUPSStatus::*field) {
    return field == &TUPSStatus::IPVoltage || field == &TUPSStatus::OPVoltage ||
           field == &TUPSStatus::BatteryVoltage;
}

// Cuts one field starting at `pos` (0-based): its first character whatever it
// is, then everything up to a blank or "#". Leaves `pos` past the separator.
std::string CutField(const std::string& reply, size_t& pos) {
    std::string field;
    if (pos >= reply.size()) return field;
    field.push_back(reply[pos++]);
    while (pos < reply.size() && reply[pos] != ' ' && reply[pos] != '#') field.push_back(reply[pos++]);
    ++pos;
    return field;
}

}  // namespace

PackVoltage BatteryPackVoltage(double reportedVolts, double nominalVolts) {
    constexpr double kCellVolts = 2.0, kMostPerCell = 3.0, kLeastNominal = 12.0;
    if (reportedVolts == 0.0) return {};
    if (reportedVolts < kMostPerCell && nominalVolts >= kLeastNominal) {
        const int cells = static_cast<int>(nominalVolts / kCellVolts + 0.5);
        return {reportedVolts * cells, cells};
    }
    return {reportedVolts, 1};
}

const ReplyField* FieldOfReply(const TUPSStatus& status, ReplyField TUPSStatus::*field) {
    for (int n = 0; n < status.FieldsCut && n < static_cast<int>(kReplyFields.size()); ++n)
        if (kReplyFields[n].field == field) return &(status.*field);
    return nullptr;
}

bool StatusBitsKnown(const TUPSStatus& status) {
    return FieldOfReply(status, &TUPSStatus::UPSStatus) && status.UPSStatus.text.size() >= kStatusFlags.size();
}

void ClearReadings(TUPSStatus& status) {
    for (const ReplyFieldName& name : kReplyFields) status.*name.field = {};
    status.ReplyText.clear();
    status.BatteryPack = {};
    status.FailedField = 0;
    status.FieldsCut = 0;
}

std::optional<TUPSStatus> ParseStatusReply(const std::string& replyText, const LocalDateTime& replyTime,
                                           bool protocolDetected, char localeSeparator,
                                           double nominalBatteryVolts) {
    if (replyText.empty() || !protocolDetected || replyText[0] != '(') return std::nullopt;
    TUPSStatus st;
    st.ReplyText = replyText;
    st.ReplyTime = replyTime;
    size_t pos = 1;
    for (int n = 1; n <= static_cast<int>(kReplyFields.size()) && pos < replyText.size(); ++n) {
        ReplyField& field = st.*kReplyFields[n - 1].field;
        field.text = CutField(replyText, pos);
        field.value = UPSStrToFloat(field.text, localeSeparator);
        st.FieldsCut = n;
        if (!field.value && EndsReplyWhenNotANumber(kReplyFields[n - 1].field)) {
            st.FailedField = n;
            return st;
        }
    }
    if (st.BatteryVoltage.value) st.BatteryPack = BatteryPackVoltage(*st.BatteryVoltage.value, nominalBatteryVolts);
    for (size_t i = 0; i < kStatusFlags.size() && i < st.UPSStatus.text.size(); ++i)
        st.*kStatusFlags[i].bit = st.UPSStatus.text[i] == '1';
    return st;
}

}  // namespace velt
