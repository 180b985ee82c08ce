#pragma once
// The body of GET /status.json: the snapshot for scripts and dashboards.
// Readings come as numbers with the texts the UPS sent; a reading the UPS has
// not given is left out, one whose text does not convert has "value": null.
// Texts are UTF-8 whatever bytes the UPS sent, so the body is always valid JSON.
#include <string>
#include <string_view>

#include "status/shown_status.h"

namespace velt {

// A JSON string literal, quotes included, of windows-1252 bytes.
std::string JsonString(std::string_view ansi);

std::string StatusJson(const ShownStatus& shown, const std::string& upsName);

}  // namespace velt
