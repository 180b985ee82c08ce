#include "sys/win32/system_entry_points.h"

namespace velt::win {

void SystemEntryPoints::LoadKernel32() {
    kernel32_.reset(::LoadLibraryA("kernel32.dll"));
    getVersionExA.Bind(kernel32_.get(), "GetVersionExA");
    getNativeSystemInfo.Bind(kernel32_.get(), "GetNativeSystemInfo");
}

void SystemEntryPoints::LoadUser32() {
    user32_.reset(::LoadLibraryA("user32.dll"));
    registerPowerSettingNotification.Bind(user32_.get(), "RegisterPowerSettingNotification");
}

void SystemEntryPoints::LoadPowrProf() {
    powrprof_.reset(::LoadLibraryA("powrprof.dll"));
    setSuspendState.Bind(powrprof_.get(), "SetSuspendState");
    isPwrSuspendAllowed.Bind(powrprof_.get(), "IsPwrSuspendAllowed");
    isPwrHibernateAllowed.Bind(powrprof_.get(), "IsPwrHibernateAllowed");
    isPwrShutdownAllowed.Bind(powrprof_.get(), "IsPwrShutdownAllowed");
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

void SystemEntryPoints::UnloadAll() {
    getVersionExA.Clear();
    getNativeSystemInfo.Clear();
    registerPowerSettingNotification.Clear();
    setSuspendState.Clear();
    isPwrSuspendAllowed.Clear();
    isPwrHibernateAllowed.Clear();
    isPwrShutdownAllowed.Clear();
    netMessageBufferSend.Clear();
    winStationSendMessageW.Clear();
    winStationOpenServerW.Clear();
    winStationCloseServer.Clear();
    for (Module* m : {&winsta_, &netapi32_, &powrprof_, &kernel32_, &user32_}) m->reset();
}

}  // namespace velt::win
