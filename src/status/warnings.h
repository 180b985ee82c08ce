#pragma once
// Where event warnings and reports go: the e-mail and LAN senders. Called on
// the main thread; each call takes its own copy of the texts and of the
// settings it sends with, and the sending happens in the background.
#include <string>

#include "core/ups_settings.h"

namespace velt {

class IWarningSender {
public:
    virtual ~IWarningSender() = default;
    // "SMTP Host" ... "SMTP Auth" of `settings` as they are now.
    virtual void SendMail(const TUPSSettings& settings, const std::string& subject, const std::string& body) = 0;
    // "LAN Server" of `settings` as it is now.
    virtual void SendLANMessage(const TUPSSettings& settings, const std::string& body) = 0;
};

// The identity lines a warning body ends with: the texts of VIDE, PIDE and
// ProductNameE as the window shows them.
struct UpsIdentityText {
    std::string vid, pid, product;

    bool operator==(const UpsIdentityText&) const = default;
};

std::string WarningBody(const std::string& prefix, const std::string& dateTimeText,
                        const std::string& eventText, const UpsIdentityText& id);

}  // namespace velt
