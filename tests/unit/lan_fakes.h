#pragma once
// A LAN messenger that records every call as a line. It refuses what the
// messenger service documents as refused: an empty recipient name, and a text
// over the 652 bytes a message may carry; both with ERROR_INVALID_PARAMETER.
// A call to an entry point reported missing is recorded as such.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sys/lan_messenger.h"

namespace velt::test::lan {

inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr size_t kMessengerTextLimit = 652;

struct FakeLanMessenger : ILanMessenger {
    bool messengerSend = true, sessionSend = true, serverOpenClose = true;
    uint32_t messengerAnswer = 0;            // for a call the service accepts
    std::optional<uintptr_t> server = 7;     // what opening a server yields
    bool delivered = true;                   // what the session send yields
    std::vector<std::string> calls;

    bool HasMessengerSend() const override { return messengerSend; }
    uint32_t MessengerSend(const std::string& recipient, const std::string& text) override {
        calls.push_back(Missing(messengerSend) + "messenger to " + recipient + ": " + text);
        if (recipient.empty() || text.size() > kMessengerTextLimit) return kErrorInvalidParameter;
        return messengerAnswer;
    }
    bool HasSessionSend() const override { return sessionSend; }
    bool HasServerOpenClose() const override { return serverOpenClose; }
    std::optional<uintptr_t> OpenServer(const std::string& name) override {
        calls.push_back(Missing(serverOpenClose) + "open " + name);
        return server;
    }
    bool SessionSend(uintptr_t handle, const std::string& title, const std::string& text,
                     uint32_t style) override {
        calls.push_back(Missing(sessionSend) + "session " + std::to_string(handle) + " '" + title + "' style " +
                        std::to_string(style) + ": " + text);
        return delivered;
    }
    void CloseServer(uintptr_t handle) override {
        calls.push_back(Missing(serverOpenClose) + "close " + std::to_string(handle));
    }

private:
    static std::string Missing(bool found) { return found ? "" : "MISSING "; }
};

}  // namespace velt::test::lan
