#include "sys/win32/system_entry_points.h"

namespace velt::win {

void SystemEntryPoints::LoadKernel32() {
    kernel32_.reset(::LoadLibraryA("kernel32.dll"));
    getVersionExA.Bind(kernel32_.get(), "GetVersionExA");
    getNativeSystemInfo.Bind(kernel32_.get(), "GetNativeSystemInfo");
}

void SystemEntryPoints::LoadNetApi32() {
    netapi32_.reset(::LoadLibraryA("NETAPI32.DLL"));
    netMessageBufferSend.Bind(netapi32_.get(), "NetMessageBufferSend");
}

void SystemEntryPoints::LoadWinSta() {
    winsta_.reset(::LoadLibraryA("WinSta.DLL"));
    winStationSendMessageW.Bind(winsta_.get(), "WinStationSendMessageW");
    winStationOpenServerW.Bind(winsta_.get(), "WinStationOpenServerW");
    winStationCloseServer.Bind(winsta_.get(), "WinStationCloseServer");
}

void SystemEntryPoints::KeepLoadedUntilExit() {
    for (Module* m : {&winsta_, &netapi32_}) static_cast<void>(m->release());
}

void SystemEntryPoints::UnloadAll() {
    getVersionExA.Clear();
    getNativeSystemInfo.Clear();
    netMessageBufferSend.Clear();
    winStationSendMessageW.Clear();
    winStationOpenServerW.Clear();
    winStationCloseServer.Clear();
    for (Module* m : {&winsta_, &netapi32_, &kernel32_}) m->reset();
}

}  // namespace velt::win
