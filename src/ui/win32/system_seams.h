#pragma once
// The operating system as TMainForm uses it, for the whole run: clocks and
// sleepers, the serial ports, the HID controller, the registry, power, the
// external program, the message pump, the four window timers and the optional
// system entry points. Made once the main window exists (the timers and the
// power notifications need it). Main thread only.
#include <windows.h>

#include "app/main_form.h"
#include "sys/win32/registry_store.h"
#include "sys/win32/system_entry_points.h"
#include "sys/win32/win_clock.h"
#include "sys/win32/win_file_writer.h"
#include "sys/win32/win_hid_controller.h"
#include "sys/win32/win_message_pump.h"
#include "sys/win32/win_power_services.h"
#include "sys/win32/win_process_launcher.h"
#include "sys/win32/win_serial_port.h"
#include "sys/win32/win_system_info.h"
#include "sys/win32/win_timer.h"
#include "sys/win32/window_message_dispatcher.h"
#include "sys/win32/window_task_queue.h"
#include "sys/win32/win_lan_messenger.h"
#include "app/report_senders.h"

namespace velt::ui {

// The system entry points, bound first: the system information reads through them.
struct EntryPointsLoaded {
    EntryPointsLoaded();
    win::SystemEntryPoints entryPoints;
};

// Who hosts the monitor: the window of a logged-on user, the service, or a
// window watching the service (it reads and saves the service's settings).
enum class SeamsFor { Window, Service, ServiceView };

struct SystemSeams : EntryPointsLoaded {
    SystemSeams(HWND window, win::HidControllerListener hidListener, ISendProgressView& sendView,
                SeamsFor host = SeamsFor::Window);
    ~SystemSeams();
    SystemSeams(const SystemSeams&) = delete;
    SystemSeams& operator=(const SystemSeams&) = delete;

    // The form's view of all of them; the dialogs and the lock come from the window.
    MonitorSystem FormSystem(IDataLock& lock, IComPortDialog& comPortDialog, ITestTForm& testTForm);
    // The history's file: the user's own, or the service's for the service and its view.
    std::filesystem::path HistoryFile() const;

    win::WinClock clock;
    win::WinSleeper mainSleeper, workerSleeper;
    win::WinDateTimeFormat dateFormat;
    win::WinSerialPortFactory serialPorts;
    win::WinFileWriter files;
    win::WinHidController hid;
    win::RegistryStore store;
    win::WinPowerServices power;
    win::WinProcessLauncher launcher;
    win::WinMessagePump pump;
    win::WindowMessageDispatcher mainThread;  // the worker's reply, as kWorkerMessage to the window
    win::WinSystemInfo system;
    win::WindowTaskQueue tasks;  // results of the senders, as kTaskMessage to the window
    win::WinLanMessenger lan;
    ReportSenders warnings;  // after what its threads use: they end first
    win::WinTimer startTimer, delayTimer, smtpReportsTimer, lanReportsTimer;
    char decimalSeparator;

private:
    SeamsFor host_;
};

}  // namespace velt::ui
