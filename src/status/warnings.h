#pragma once
// Where event warnings go: the e-mail and LAN senders. Each call hands over its
// own copy of the texts; the senders work in the background.
#include <string>

namespace velt {

class IWarningSender {
public:
    virtual ~IWarningSender() = default;
    virtual void SendMail(const std::string& subject, const std::string& body) = 0;
    virtual void SendLANMessage(const std::string& body) = 0;
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
