#include "reports/lan_message.h"

namespace velt {
namespace {

constexpr const char* kFailed = "LAN Report sending failed!";
constexpr const char* kSuccess = "LAN Report sending success";

// Event notices begin "Warning - "; reports and other notices get the information icon.
uint32_t MessageStyle(const std::string& body) {
    return body.compare(0, 7, "Warning") == 0 ? kLanStyleWarning : kLanStyleInformation;
}

std::string MessengerResultText(uint32_t code) {
    switch (code) {
        case 0: return kSuccess;
        case 5: return "User does not have access to the requested information!";
        case 50: return "This request is not supported!";
        case 87: return "The specified parameter is invalid!";
        case 2136: return "A general failure occurred in the network hardware!";
        case 2273: return "The user name could not be found!";
        default: return "LAN Report sending failed";
    }
}

std::string ViaMessenger(ILanMessenger& messenger, const LanJob& job, const std::string& text) {
    if (!messenger.HasMessengerSend()) return kFailed;
    return MessengerResultText(messenger.MessengerSend(job.serverName.substr(0, kLanRecipientChars), text));
}

// Without the open and close calls the message goes to this computer (handle 0).
std::string ViaTerminalServices(ILanMessenger& messenger, const LanJob& job, const std::string& text) {
    if (!messenger.HasSessionSend()) return kFailed;
    const bool named = messenger.HasServerOpenClose();
    uintptr_t server = 0;
    if (named) {
        const auto opened = messenger.OpenServer(job.serverName);
        if (!opened) return "Could not open server!";
        server = *opened;
    }
    const bool delivered = messenger.SessionSend(server, kLanMessageTitle, text, MessageStyle(job.body));
    if (named) messenger.CloseServer(server);
    return delivered ? kSuccess : kFailed;
}

}  // namespace

std::string SendLanReport(ILanMessenger& messenger, const LanJob& job) {
    const std::string text = "From: " + job.computerName + "\r\n" + job.body;
    if (job.osMajorVersion >= 6) return ViaTerminalServices(messenger, job, text);
    return ViaMessenger(messenger, job, text);
}

}  // namespace velt
