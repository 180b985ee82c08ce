#pragma once
// One LAN message, from the body to the text the status bar shows: the
// messenger service on Windows before major version 6, the terminal-services
// message box from 6 on. Runs on the sending worker; blocks until a message box
// raised on the other side is answered.
#include <cstdint>
#include <string>

#include "sys/lan_messenger.h"

namespace velt {

// The worker's own copies, taken when the job starts.
struct LanJob {
    std::string body;
    std::string serverName;    // "LAN Server": the recipient, or the terminal server to open
    std::string computerName;  // this computer; empty when it could not be read
    uint32_t osMajorVersion = 0;
};

inline constexpr const char* kLanMessageTitle = "Veltrano";
inline constexpr uint32_t kLanStyleWarning = 48;      // message box with the warning icon
inline constexpr uint32_t kLanStyleInformation = 64;  // with the information icon
// The messenger service takes names of at most this many characters.
inline constexpr size_t kLanRecipientChars = 20;

// Sends the job and returns the result text for the status bar.
std::string SendLanReport(ILanMessenger& messenger, const LanJob& job);

}  // namespace velt
