#include "reports/history_query.h"

#include <charconv>

#include "reports/history_reader.h"
#include "reports/history_time.h"

namespace velt {

namespace {

constexpr int64_t kDay = 86400;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() && text[i] == '%' ? HexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
        if (low < 0) {
            out += text[i];
            continue;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// Sets `utc` from the query's `key` when there; false with `error` set when
// its value is no time.
bool TakeTime(std::string_view query, const char* key, int offset, int64_t& utc, std::string& error) {
    const std::optional<std::string> text = QueryValue(query, key);
    if (!text) return true;
    const std::optional<int64_t> parsed = ParseIsoTime(*text, offset);
    if (!parsed) {
        error = std::string(key) + ": not an ISO 8601 time (2026-12-01T10:00:00Z, 2026-12-01T11:00:00+01:00 or"
                                   " 2026-12-01)";
        return false;
    }
    utc = *parsed;
    return true;
}

bool TakeStep(std::string_view query, int64_t& step, std::string& error) {
    const std::optional<std::string> text = QueryValue(query, "step");
    if (!text) return true;
    const char* end = text->data() + text->size();
    const auto [at, fault] = std::from_chars(text->data(), end, step);
    if (fault == std::errc() && at == end && step >= 60) return true;
    error = "step: a whole number of seconds, at least 60";
    return false;
}

}  // namespace

std::optional<std::string> QueryValue(std::string_view query, std::string_view key) {
    std::optional<std::string> value;
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const size_t eq = pair.find('=');
        if (PercentDecoded(pair.substr(0, eq)) != key) continue;
        value = eq == std::string_view::npos ? std::string() : PercentDecoded(pair.substr(eq + 1));
    }
    return value;  // the last of repeated keys
}

HistorySpan ParseHistorySpan(std::string_view query, int64_t nowUtc, int utcOffsetMinutes) {
    HistorySpan span;
    span.toUtc = nowUtc;
    if (!TakeTime(query, "to", utcOffsetMinutes, span.toUtc, span.error)) return span;
    span.fromUtc = span.toUtc - kDay;
    if (!TakeTime(query, "from", utcOffsetMinutes, span.fromUtc, span.error)) return span;
    if (!TakeStep(query, span.requestedStep, span.error)) return span;
    if (span.fromUtc >= span.toUtc) {
        span.error = "from: must be before to";
        return span;
    }
    span.stepSeconds = FittingStep(span.fromUtc, span.toUtc, span.requestedStep);
    return span;
}

}  // namespace velt
