#include "sys/win32/win_lan_messenger.h"

#include <string>

#include "sys/win32/ansi_wide.h"

namespace velt::win {
namespace {

constexpr ULONG kCurrentSession = 0xFFFFFFFF;
constexpr ULONG kNoTimeout = 0;
constexpr BOOLEAN kWaitForAnswer = FALSE;  // the call's flag says "do not wait"

// Wine exports all four entry points, but as stubs whose call ends the
// process; there they count as missing.
bool RunningUnderWine() {
    return FindEntryPoint<void (*)()>(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

ULONG Bytes(const std::wstring& text) { return static_cast<ULONG>(text.size() * sizeof(wchar_t)); }

}  // namespace

WinLanMessenger::WinLanMessenger(const SystemEntryPoints& entryPoints)
    : entryPoints_(entryPoints), stubsOnly_(RunningUnderWine()) {}

bool WinLanMessenger::HasMessengerSend() const { return !stubsOnly_ && entryPoints_.netMessageBufferSend.Found(); }

// From this computer (no server), under its own name (no sender).
uint32_t WinLanMessenger::MessengerSend(const std::string& recipient, const std::string& text) {
    const std::wstring to = WidenAnsi(recipient);
    std::wstring message = WidenAnsi(text);
    return entryPoints_.netMessageBufferSend.get()(nullptr, to.c_str(), nullptr,
                                                   reinterpret_cast<BYTE*>(message.data()), Bytes(message));
}

bool WinLanMessenger::HasSessionSend() const { return !stubsOnly_ && entryPoints_.winStationSendMessageW.Found(); }

bool WinLanMessenger::HasServerOpenClose() const {
    return !stubsOnly_ && entryPoints_.winStationOpenServerW.Found() && entryPoints_.winStationCloseServer.Found();
}

std::optional<uintptr_t> WinLanMessenger::OpenServer(const std::string& name) {
    std::wstring server = WidenAnsi(name);
    const HANDLE handle = entryPoints_.winStationOpenServerW.get()(server.data());
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;  // all bits set
    return reinterpret_cast<uintptr_t>(handle);
}

// Blocks until the user answers the message box; the answer is not used.
bool WinLanMessenger::SessionSend(uintptr_t server, const std::string& title, const std::string& text,
                                  uint32_t style) {
    std::wstring caption = WidenAnsi(title), message = WidenAnsi(text);
    ULONG answer = 0;
    return entryPoints_.winStationSendMessageW.get()(reinterpret_cast<HANDLE>(server), kCurrentSession,
                                                     caption.data(), Bytes(caption), message.data(),
                                                     Bytes(message), style, kNoTimeout, &answer,
                                                     kWaitForAnswer) != FALSE;
}

void WinLanMessenger::CloseServer(uintptr_t server) {
    entryPoints_.winStationCloseServer.get()(reinterpret_cast<HANDLE>(server));
}

}  // namespace velt::win
