#pragma once
// The status report in its two forms: plain text for the e-mail and LAN
// reports, and the lines of the HTTP status page. Both are composed from one
// snapshot of what the window shows and take the date-time text from the
// caller, so a subject and its body always carry the same time.
#include <string>
#include <vector>

#include "core/ups_settings.h"
#include "status/shown_status.h"

namespace velt {

// Every line followed by CR LF, the last one too. The readings keep the bytes
// the UPS sent; the page settings do not apply. The degree sign is the single
// byte 0xB0 of the ANSI code page.
std::string ComposeReportText(const ShownStatus& shown, const std::string& dateTimeText);

// "Report - " + the date-time text: the same text as the report's first line.
std::string ReportSubject(const std::string& dateTimeText);

// The page lines, each ending in "</br>" (the server adds CR LF), filtered by
// the page settings; "UPS not found!</br>" alone while no UPS is found.
std::vector<std::string> ComposeReportPage(const ShownStatus& shown, const TUPSSettings& settings,
                                           const std::string& dateTimeText);

}  // namespace velt
