#include "reports/webhook_json.h"

#include <optional>
#include <utility>

#include "core/date_time_text.h"
#include "reports/json_object.h"

namespace velt {

namespace {

// The snapshot without its closing line break; none when it is not one
// object (nothing published yet), rather than an invalid body.
std::optional<std::string> SnapshotObject(const std::string& json) {
    const size_t last = json.find_last_not_of("\r\n ");
    if (last == std::string::npos || json.front() != '{' || json[last] != '}') return std::nullopt;
    return json.substr(0, last + 1);
}

}  // namespace

const char* AlertKindName(AlertKind kind) {
    switch (kind) {
        case AlertKind::Warning: return "warning";
        case AlertKind::Information: return "information";
        case AlertKind::Report: return "report";
        case AlertKind::Test: return "test";
    }
    return "information";
}

std::string WebhookJson(const PushAlert& alert, const std::string& computerName, const std::string& upsName) {
    JsonObject object;
    object.Add("event", JsonString(alert.event))
        .Add("kind", JsonString(AlertKindName(alert.kind)))
        .Add("subject", JsonString(alert.subject))
        .Add("body", JsonString(alert.body))
        .Add("time", JsonString(IsoDateTimeText(alert.when)))
        .Add("computer", JsonString(computerName))
        .Add("ups", JsonString(upsName));
    if (auto snapshot = SnapshotObject(alert.statusJson)) object.Add("status", std::move(*snapshot));
    return object.Text();
}

}  // namespace velt
