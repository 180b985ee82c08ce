#include "status/ups_status.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace velt {

namespace {

std::string_view TrimControls(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipDigits(std::string_view s, size_t i) {
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i;
}

// Checks the decimal form [sign] digits [sep digits] [E [sign] digits] and
// gives it with "." as separator, ready for a locale-free conversion.
std::optional<std::string> NormaliseDecimal(std::string_view s, char sep) {
    std::string out;
    size_t i = 0;
    // from_chars takes no "+": keep only a minus.
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') out.push_back('-');
        ++i;
    }
    size_t start = i;
    i = SkipDigits(s, i);
    size_t digits = i - start;
    out.append(s.substr(start, i - start));
    if (i < s.size() && s[i] == sep) {
        out.push_back('.');
        start = ++i;
        i = SkipDigits(s, i);
        if (i == start) return std::nullopt;
        digits += i - start;
        out.append(s.substr(start, i - start));
    }
    if (digits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        out.push_back('e');
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.push_back(s[i++]);
        start = i;
        i = SkipDigits(s, i);
        if (i == start) return std::nullopt;
        out.append(s.substr(start, i - start));
    }
    if (i != s.size()) return std::nullopt;
    return out;
}

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

std::optional<double> UPSStrToFloat(std::string_view text, char localeSeparator) {
    std::string s(TrimControls(text));
    for (char& c : s)
        if (c == '.' || c == ',') c = localeSeparator;
    const auto normal = NormaliseDecimal(TrimControls(s), localeSeparator);
    if (!normal) return std::nullopt;
    double v = 0;
    const char* first = normal->data();
    const char* last = first + normal->size();
    const auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    return v;
}

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
