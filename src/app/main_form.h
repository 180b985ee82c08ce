#pragma once
// TMainForm's logic: owns the link, the event log and the worker, and carries
// the handlers the window forwards to it. Portable: the window is reached only
// through IMainView and the OS through the seams in sys/.
#include <memory>
#include <string>

#include "app/main_view.h"
#include "core/com_port.h"
#include "core/event_sink.h"
#include "core/read_data.h"
#include "core/ups_link.h"
#include "reports/event_log.h"
#include "sys/clock.h"
#include "sys/data_lock.h"
#include "sys/file_writer.h"
#include "sys/serial_port.h"

namespace velt {

// Everything from outside the logic that the form needs; all references must
// outlive the form.
struct MainFormDeps {
    IMainView& view;
    IDataLock& lock;
    ISleeper& sleeper;
    const IClock& clock;
    const IDateTimeFormat& dateFormat;
    ISerialPortFactory& serialPorts;
    IComPortDialog& comPortDialog;
    IFileWriter& files;
    char decimalSeparator = '.';
};

class TMainForm : public ILogSink {
public:
    explicit TMainForm(MainFormDeps deps);
    ~TMainForm() override;

    TUPSLink& Link() { return link_; }
    IDataLock& DataLock() { return d_.lock; }
    const TEventLog& EventLog() const { return log_; }

    // Creates and starts the worker; `hooks` connect it to the window.
    void CreateWorker(TReadData::Hooks hooks);
    // Requests termination; the caller waits (pumping sent messages) until
    // WorkerFinished(), then calls JoinWorker().
    void TerminateWorker();
    bool WorkerFinished() const;
    void JoinWorker();
    // Lowers DTR and closes the serial port at application close.
    void CloseComPort();

    void AddLogLine(const std::string& message) override;
    void AddLogLine(const std::string& message, const LocalDateTime& when);

    void StartAExecute();
    void StopAExecute();
    void StartMonitoring();
    void StopMonitoring();
    void RefreshUDClick();

    // WM_USER from the worker: wParam 0 a stored reply, 1 a failed worker.
    void OnWorkerMessage(unsigned wParam);
    void ProcessUPSStatus();

    void ClearLogSBClick();
    void SaveLogSBClick();

private:
    bool ConnectUps();
    void ShowSpinnerStep();

    MainFormDeps d_;
    TUPSLink link_;
    TEventLog log_;
    std::unique_ptr<TReadData> worker_;
    int spinnerStep_ = 0;
};

}  // namespace velt
