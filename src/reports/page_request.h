#pragma once
// The status page's request handler: what one request for the page gets back.
// It reads only the snapshot and settings it is given, keeps no state and
// touches no socket, so the server calls it on its own thread.
#include <string>
#include <utility>
#include <vector>

#include "core/ups_settings.h"
#include "status/shown_status.h"

namespace velt {

struct HistoryAccess;

struct PageRequest {
    std::string path;            // the document path, without a query
    std::string user, password;  // of the Basic authorization; empty without one
    std::string query{};         // what followed the first '?', as sent; empty without one
};

struct PageResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;  // sent first, in this order
    std::string contentType;
    std::string body;
};

// The short HTML answer that states a status ("200 OK", "401 Unauthorized",
// ...): what every path but "/" gets, and what the server sends for requests
// it refuses.
PageResponse StatusPage(int status);

// The answer to every page request, whatever its method: "/" gets the
// report, "/status.json" and "/metrics" the feeds (labelled
// with the NUT UPS name), "/history", "/history.csv" and "/history.json" the
// history's documents (404 without `history`), when the user and password
// match the settings exactly; otherwise 401 with the Basic challenge. The
// comparison takes the same time wherever the texts differ.
PageResponse IdHTTPSCommandGet(const PageRequest& request, const ShownStatus& shown, const TUPSSettings& settings,
                               const std::string& dateTimeText, const HistoryAccess* history = nullptr);

}  // namespace velt
