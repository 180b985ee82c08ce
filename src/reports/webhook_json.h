#pragma once
// The body a webhook receives: the alert's texts as the e-mail has them,
// when it happened, who tells it, and the readings and status of that moment.
#include <string>

#include "status/warnings.h"

namespace velt {

// "warning", "information", "report" or "test".
const char* AlertKindName(AlertKind kind);

std::string WebhookJson(const PushAlert& alert, const std::string& computerName, const std::string& upsName);

}  // namespace velt
