#include "status/warnings.h"

namespace velt {

std::string WarningBody(const std::string& prefix, const std::string& dateTimeText,
                        const std::string& eventText, const UpsIdentityText& id) {
    return prefix + dateTimeText + " " + eventText + "\r\n" + "VID: 0x" + id.vid + " PID: 0x" + id.pid +
           " Product: " + id.product + "\r\n";
}

}  // namespace velt
