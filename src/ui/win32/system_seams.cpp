#include "ui/win32/system_seams.h"

#include "net/win32/schannel_session.h"
#include "sys/win32/service_state.h"
#include "ui/win32/known_folders.h"
#include "ui/win32/service_host.h"
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
      store(host == SeamsFor::Window ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE),
      power(window, host == SeamsFor::Service ? win::PowerOffPath::SystemShutdown : win::PowerOffPath::EndSession),
      mainThread(window, kWorkerMessage),
      system(entryPoints),
      tasks(window, kTaskMessage),
      lan(entryPoints),
      // A window watching the service sends nothing: the service's outbox does.
      warnings({system, system.OsVersion().major, lan, tasks, sendView, {}, win::SchannelSessionFactory(),
                host == SeamsFor::ServiceView ? std::filesystem::path() : HistoryFilePath(host != SeamsFor::Window),
                &clock, &dateFormat}),
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
    MonitorSystem sys{lock,       mainSleeper, workerSleeper, clock,      dateFormat,       serialPorts,
                      comPortDialog, files,    hid,           store,      power,            launcher,
                      pump,       mainThread,  testTForm,     system,     warnings,         tasks,
                      startTimer, delayTimer,  smtpReportsTimer, lanReportsTimer, decimalSeparator};
    sys.historyFile = HistoryFile();
    switch (host_) {
        case SeamsFor::Window: break;
        case SeamsFor::Service: sys.host = MonitorHost::Service; break;
        case SeamsFor::ServiceView:
            sys.host = MonitorHost::ServiceView;
            // The service reads its settings again; one that will not hear it reads them at its next start.
            sys.serviceSettingsSaved = [] {
                win::TellService(kServiceName, SERVICE_CONTROL_PARAMCHANGE, SERVICE_PAUSE_CONTINUE);
            };
            break;
    }
    return sys;
}

std::filesystem::path SystemSeams::HistoryFile() const { return HistoryFilePath(host_ != SeamsFor::Window); }

}  // namespace velt::ui
