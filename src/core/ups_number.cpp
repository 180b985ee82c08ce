#include "core/ups_number.h"

#include <charconv>
#include <string>

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

std::optional<int64_t> DecimalInteger(std::string_view text) {
    std::string_view s = TrimControls(text);
    const bool negative = !s.empty() && s.front() == '-';
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) s.remove_prefix(1);
    if (s.empty() || SkipDigits(s, 0) != s.size()) return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return value;
}

}  // namespace velt
