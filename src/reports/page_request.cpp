#include "reports/page_request.h"

#include <exception>
#include <optional>
#include <string_view>

#include "reports/history_pages.h"
#include "reports/report_text.h"
#include "reports/status_json.h"
#include "reports/status_metrics.h"

namespace velt {

namespace {

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200: return "OK";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 408: return "Request Timeout";
        case 413: return "Payload Too Large";
        case 431: return "Request Header Fields Too Large";
        case 503: return "Service Unavailable";
        default: return "Internal Server Error";
    }
}

// Whether the texts are equal, in a time that depends on the length of the
// given text alone: every byte is compared, whatever the first difference
// and whether the lengths match, so the timing tells nothing about the
// stored text.
bool SameText(std::string_view given, std::string_view stored) {
    unsigned difference = given.size() != stored.size() ? 1u : 0u;
    const size_t storedSize = stored.size();
    for (size_t i = 0; i < given.size(); ++i) {
        const unsigned char expected = storedSize ? static_cast<unsigned char>(stored[i % storedSize]) : 0;
        difference |= static_cast<unsigned char>(given[i]) ^ expected;
    }
    return difference == 0;
}

PageResponse Unauthorized() {
    PageResponse response = StatusPage(401);
    response.headers = {{"WWW-Authenticate", "Basic realm=\"Veltrano HTTP Server\""}};
    return response;
}

PageResponse ReportPage(const ShownStatus& shown, const TUPSSettings& settings, const std::string& dateTimeText) {
    PageResponse response;
    response.headers = {{"Cache-Control", "no-store, no-cache, must-revalidate"},
                        {"Cache-Control", "post-check=0, pre-check=0"},
                        {"Pragma", "no-cache"}};
    response.contentType = "text/html";
    for (const std::string& line : ComposeReportPage(shown, settings, dateTimeText)) response.body += line + "\r\n";
    return response;
}

// The documents behind the credentials; every other path gets the default answer.
enum class Document { Report, Json, Metrics, History, HistoryCsv, HistoryJson };

std::optional<Document> DocumentOf(const std::string& path) {
    if (path == "/") return Document::Report;
    if (path == "/status.json") return Document::Json;
    if (path == "/metrics") return Document::Metrics;
    if (path == "/history") return Document::History;
    if (path == "/history.csv") return Document::HistoryCsv;
    if (path == "/history.json") return Document::HistoryJson;
    return std::nullopt;
}

PageResponse History(HistoryDocument document, const PageRequest& request, const HistoryAccess* history) {
    return HistoryAnswer(document, request.query, history ? *history : HistoryAccess{});
}

// A feed read by programs that poll it: never from a cache.
PageResponse Feed(const char* contentType, std::string body) {
    return {200, {{"Cache-Control", "no-store"}}, contentType, std::move(body)};
}

}  // namespace

PageResponse StatusPage(int status) {
    const std::string text = std::to_string(status) + " " + ReasonPhrase(status);
    return {status, {}, "text/html", "<HTML><BODY><B>" + text + "</B></BODY></HTML>"};
}

PageResponse IdHTTPSCommandGet(const PageRequest& request, const ShownStatus& shown, const TUPSSettings& settings,
                               const std::string& dateTimeText, const HistoryAccess* history) {
    const auto document = DocumentOf(request.path);
    if (!document) return StatusPage(200);
    // Both compared, so a wrong user takes as long as a wrong password.
    const bool userMatches = SameText(request.user, settings.HTTPUser);
    const bool passwordMatches = SameText(request.password, settings.HTTPPassword);
    if (!(userMatches & passwordMatches)) return Unauthorized();
    try {
        switch (*document) {
            case Document::Report: return ReportPage(shown, settings, dateTimeText);
            case Document::Json: return Feed("application/json", StatusJson(shown, settings.NUTUPSName));
            case Document::Metrics: return Feed(kMetricsContentType, StatusMetrics(shown, settings.NUTUPSName));
            case Document::History: return History(HistoryDocument::Page, request, history);
            case Document::HistoryCsv: return History(HistoryDocument::Csv, request, history);
            case Document::HistoryJson: return History(HistoryDocument::Json, request, history);
        }
        return StatusPage(200);
    } catch (const std::exception&) {
        // Out of memory while composing: this request gets the default answer
        // and the server goes on.
        return StatusPage(200);
    }
}

}  // namespace velt
