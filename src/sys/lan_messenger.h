#pragma once
// The operating system's messaging to a computer of the local network: the
// messenger service's NetMessageBufferSend, and the terminal-services message
// to a session (WinStationOpenServerW, WinStationSendMessageW,
// WinStationCloseServer). Each may be missing; callers test Has...() before a
// call. Texts are the program's ANSI bytes. Safe to call from a worker thread.
#include <cstdint>
#include <optional>
#include <string>

namespace velt {

class ILanMessenger {
public:
    virtual ~ILanMessenger() = default;

    virtual bool HasMessengerSend() const = 0;
    // NetMessageBufferSend's return: 0 on success, else its error code.
    virtual uint32_t MessengerSend(const std::string& recipient, const std::string& text) = 0;

    virtual bool HasSessionSend() const = 0;
    // Both the open and the close call are there.
    virtual bool HasServerOpenClose() const = 0;
    // None when the server cannot be opened.
    virtual std::optional<uintptr_t> OpenServer(const std::string& name) = 0;
    // To the current session of `server` (0: this computer), without a time-out,
    // waiting until the user answers the box. True when it was delivered.
    virtual bool SessionSend(uintptr_t server, const std::string& title, const std::string& text,
                             uint32_t style) = 0;
    virtual void CloseServer(uintptr_t server) = 0;
};

}  // namespace velt
