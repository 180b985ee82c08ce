#pragma once
// The optional system functions, looked up by name in their libraries at
// start-up (user32's and powrprof's are bound by the power services, which use them). A null pointer is the function's found-flag saying "not found"; a
// library that does not load leaves all of its functions unfound. Callers test
// Found() before every call. Main thread only; the pointers stay valid until
// UnloadAll().
#include <windows.h>

#include "sys/win32/loaded_module.h"
#include "sys/win32/win_handle.h"

namespace velt::win {

struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static bool Valid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::FreeLibrary(h); }
};
using Module = UniqueHandle<ModuleTraits>;

template <typename Fn>
class EntryPoint {
public:
    bool Found() const { return fn_ != nullptr; }
    Fn get() const { return fn_; }

    void Bind(HMODULE module, const char* name) { fn_ = FindEntryPoint<Fn>(module, name); }
    void Clear() { fn_ = nullptr; }

private:
    Fn fn_ = nullptr;
};

using GetVersionExAFn = BOOL(WINAPI*)(OSVERSIONINFOA* info);
using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO* info);
using NetMessageBufferSendFn = DWORD(WINAPI*)(const wchar_t* server, const wchar_t* recipient, const wchar_t* from,
                                              BYTE* text, DWORD textBytes);
// Undocumented terminal-services calls of WinSta.DLL.
using WinStationOpenServerWFn = HANDLE(WINAPI*)(wchar_t* serverName);
using WinStationSendMessageWFn = BOOLEAN(WINAPI*)(HANDLE server, ULONG sessionId, wchar_t* title, ULONG titleBytes,
                                                  wchar_t* message, ULONG messageBytes, ULONG style, ULONG timeout,
                                                  ULONG* response, BOOLEAN doNotWait);
using WinStationCloseServerFn = BOOLEAN(WINAPI*)(HANDLE server);

class SystemEntryPoints {
public:
    SystemEntryPoints() = default;
    ~SystemEntryPoints() { UnloadAll(); }
    SystemEntryPoints(const SystemEntryPoints&) = delete;
    SystemEntryPoints& operator=(const SystemEntryPoints&) = delete;

    void LoadKernel32();   // GetVersionExA, GetNativeSystemInfo
    void LoadNetApi32();   // NetMessageBufferSend
    void LoadWinSta();     // WinStationSendMessageW, WinStationOpenServerW, WinStationCloseServer
    // WinSta, NETAPI32, kernel32, each only when loaded;
    // every flag goes false first. No caller may still be inside one of them.
    void UnloadAll();
    // For a caller that may still be inside one of them as the process ends
    // (a LAN message box nobody answered): the libraries stay mapped until
    // the process is gone.
    void KeepLoadedUntilExit();

    EntryPoint<GetVersionExAFn> getVersionExA;
    EntryPoint<GetNativeSystemInfoFn> getNativeSystemInfo;
    EntryPoint<NetMessageBufferSendFn> netMessageBufferSend;
    EntryPoint<WinStationSendMessageWFn> winStationSendMessageW;
    EntryPoint<WinStationOpenServerWFn> winStationOpenServerW;
    EntryPoint<WinStationCloseServerFn> winStationCloseServer;

private:
    Module kernel32_, netapi32_, winsta_;
};

}  // namespace velt::win
