#include "reports/outbox_note.h"

#include "core/date_time_text.h"

namespace velt {

std::string BodyWithWrittenAt(const std::string& body, const LocalDateTime& written, const IDateTimeFormat& fmt) {
    std::string noted = body;
    // A blank line apart from the text, whatever its line ends.
    const bool crlf = body.find("\r\n") != std::string::npos;
    const char* eol = crlf ? "\r\n" : "\n";
    if (!noted.empty() && noted.back() != '\n') noted += eol;
    if (!noted.empty()) noted += eol;
    return noted + "Written at " + DateTimeText(written, fmt) + ".";
}

}  // namespace velt
