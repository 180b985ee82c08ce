#include "status/ups_status.h"

#include <array>

namespace velt {

namespace {

// The flags in the order of their characters in the status field.
constexpr std::array<bool TUPSStatus::*, 8> kStatusFlags = {
    &TUPSStatus::PowerFail,  &TUPSStatus::BatteryLow,     &TUPSStatus::AVR,
    &TUPSStatus::UPSFailed,  &TUPSStatus::StandbyUPS,     &TUPSStatus::TestInProgress,
    &TUPSStatus::ShutdownActive, &TUPSStatus::BeeperOn,
};

struct FieldSlot {
    std::string TUPSStatus::*text;
    double TUPSStatus::*value;  // null for text-only fields
};

constexpr std::array<FieldSlot, 8> kFields = {{
    {&TUPSStatus::IPVoltage, &TUPSStatus::IPVoltageValue},
    {&TUPSStatus::IPFaultVoltage, nullptr},
    {&TUPSStatus::OPVoltage, &TUPSStatus::OPVoltageValue},
    {&TUPSStatus::OPCurrent, nullptr},
    {&TUPSStatus::IPFrequency, nullptr},
    {&TUPSStatus::BatteryVoltage, &TUPSStatus::BatteryVoltageValue},
    {&TUPSStatus::Temperature, nullptr},
    {&TUPSStatus::UPSStatus, nullptr},
}};

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

std::optional<TUPSStatus> ParseStatusReply(const std::string& replyText, const LocalDateTime& replyTime,
                                           bool protocolDetected, char localeSeparator) {
    if (replyText.empty() || !protocolDetected || replyText[0] != '(') return std::nullopt;
    TUPSStatus st;
    st.ReplyText = replyText;
    st.ReplyTime = replyTime;
    size_t pos = 1;
    for (int n = 1; n <= 8 && pos < replyText.size(); ++n) {
        const FieldSlot& slot = kFields[n - 1];
        st.*slot.text = CutField(replyText, pos);
        st.FieldsCut = n;
        if (!slot.value) continue;
        const auto v = UPSStrToFloat(st.*slot.text, localeSeparator);
        if (!v) {
            st.FailedField = n;
            return st;
        }
        st.*slot.value = *v;
    }
    for (size_t i = 0; i < kStatusFlags.size() && i < st.UPSStatus.size(); ++i)
        st.*kStatusFlags[i] = st.UPSStatus[i] == '1';
    return st;
}

}  // namespace velt
