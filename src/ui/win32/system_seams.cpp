#include "ui/win32/system_seams.h"

#include "net/win32/schannel_session.h"
#include "ui/win32/window_messages.h"

namespace velt::ui {

// user32 and powrprof are bound by the power services themselves.
EntryPointsLoaded::EntryPointsLoaded() {
    entryPoints.LoadKernel32();
    entryPoints.LoadNetApi32();
    entryPoints.LoadWinSta();
}

SystemSeams::SystemSeams(HWND window, win::HidControllerListener hidListener, ISendProgressView& sendView,
                         SeamsFor host)
    : hid(std::move(hidListener)),
      store(host == SeamsFor::Service ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER),
      power(window, host == SeamsFor::Service ? win::PowerOffPath::SystemShutdown : win::PowerOffPath::EndSession),
      mainThread(window, kWorkerMessage),
      system(entryPoints),
      tasks(window, kTaskMessage),
      lan(entryPoints),
      warnings({system, system.OsVersion().major, lan, tasks, sendView, {}, win::SchannelSessionFactory()}),
      startTimer(window, kStartTimerId),
      delayTimer(window, kDelayTimerId),
      smtpReportsTimer(window, kSMTPReportsTimerId),
      lanReportsTimer(window, kLANReportsTimerId),
      decimalSeparator(win::UserDecimalSeparator()),
      host_(host) {}

// Sends still running get 2 s; a LAN message box still waiting for its answer
// keeps its library mapped, since its thread is inside it until the process ends.
SystemSeams::~SystemSeams() {
    if (!warnings.AbandonAll(std::chrono::milliseconds(2000))) entryPoints.KeepLoadedUntilExit();
}

MonitorSystem SystemSeams::FormSystem(IDataLock& lock, IComPortDialog& comPortDialog, ITestTForm& testTForm) {
    return MonitorSystem{lock,      mainSleeper, workerSleeper, clock,      dateFormat,       serialPorts,
                          comPortDialog, files, hid,        store,      power,            launcher,
                          pump,      mainThread, testTForm,  system,     warnings,         tasks,
                          startTimer,
                          delayTimer, smtpReportsTimer, lanReportsTimer, decimalSeparator, host_ == SeamsFor::Service};
}

}  // namespace velt::ui
