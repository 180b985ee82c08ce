#pragma once
// LAN messages through the optional entry points of NETAPI32 and WinSta.
// Reads the entry points at each call; they must stay loaded while a call may
// still run (UnloadAll comes after the senders have ended).
#include "sys/lan_messenger.h"
#include "sys/win32/system_entry_points.h"

namespace velt::win {

class WinLanMessenger final : public ILanMessenger {
public:
    explicit WinLanMessenger(const SystemEntryPoints& entryPoints);

    bool HasMessengerSend() const override;
    uint32_t MessengerSend(const std::string& recipient, const std::string& text) override;
    bool HasSessionSend() const override;
    bool HasServerOpenClose() const override;
    std::optional<uintptr_t> OpenServer(const std::string& name) override;
    bool SessionSend(uintptr_t server, const std::string& title, const std::string& text, uint32_t style) override;
    void CloseServer(uintptr_t server) override;

private:
    const SystemEntryPoints& entryPoints_;
    bool stubsOnly_;  // the entry points are there but cannot be called
};

}  // namespace velt::win
