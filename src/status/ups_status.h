#pragma once
// TUPSStatus: one parsed status reply.
#include <optional>
#include <string>
#include <string_view>

#include "core/ups_number.h"
#include "sys/clock.h"

namespace velt {

struct TUPSStatus {
    std::string ReplyText;
    LocalDateTime ReplyTime;

    // Field texts exactly as cut from the reply (not trimmed).
    std::string IPVoltage, IPFaultVoltage, OPVoltage, OPCurrent, IPFrequency, BatteryVoltage,
        Temperature, UPSStatus;

    double IPVoltageValue = 0, OPVoltageValue = 0, BatteryVoltageValue = 0;

    bool PowerFail = false, BatteryLow = false, AVR = false, UPSFailed = false,
         StandbyUPS = false, TestInProgress = false, ShutdownActive = false, BeeperOn = false;

    // 0 when every conversion succeeded; else 1, 3 or 6. Later fields are not cut.
    int FailedField = 0;
    // How many fields were cut (8 for a complete reply; fewer after a failure
    // or when the reply ends early).
    int FieldsCut = 0;

    bool operator==(const TUPSStatus&) const = default;
};

// No status when the reply is empty, no protocol was detected, or it does not
// begin with "(".
std::optional<TUPSStatus> ParseStatusReply(const std::string& replyText, const LocalDateTime& replyTime,
                                           bool protocolDetected, char localeSeparator = '.');

}  // namespace velt
