#pragma once
// Where event warnings go until the e-mail and LAN senders exist: nowhere.
#include "status/warnings.h"

namespace velt {

class NullWarningSender final : public IWarningSender {
public:
    void SendMail(const TUPSSettings&, const std::string&, const std::string&) override {}
    void SendLANMessage(const TUPSSettings&, const std::string&) override {}
};

}  // namespace velt
