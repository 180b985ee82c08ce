#pragma once
// Serial port selection and set-up: list COM1..COM9, ask for one unless a port
// is remembered, open it with a bounded number of attempts and configure it.
#include <memory>
#include <optional>
#include <string>

#include "core/event_sink.h"
#include "core/ups_link.h"
#include "sys/clock.h"
#include "sys/serial_port.h"

namespace velt {

constexpr int kFirstComPort = 1;
constexpr int kLastComPort = 9;

// What the port dialog offers the logic; the window implements it.
class IComPortDialog {
public:
    virtual ~IComPortDialog() = default;
    virtual void ClearPorts() = 0;
    virtual void AddPort(const std::string& name) = 0;
    virtual void SelectFirstPort() = 0;
    virtual bool ShowModal() = 0;                       // true when closed with OK
    virtual std::optional<std::string> SelectedPort() const = 0;  // none when the list is empty
    virtual bool DtrChecked() const = 0;
    virtual bool RtsChecked() const = 0;
};

std::string ComPortName(int number);
// The number after "COM" in a list entry; none for anything else.
std::optional<int> ComPortNumber(const std::string& name);

// 2400 8N1, no flow control, DTR and RTS raised or not as told, 500 ms read
// time-out, purge, event mask. A failing step closes the port (resets `port`)
// and gives false.
bool ConfigureComPort(std::unique_ptr<ISerialPort>& port, bool dtr, bool rts, ISleeper& sleeper);

// Main thread, data lock held by the caller. True when a port is open and
// configured in link.ComHandle.
bool OpenComPort(TUPSLink& link, ISerialPortFactory& ports, IComPortDialog& dialog, ISleeper& sleeper,
                 ILogSink& log);

// Closes the port and opens the remembered one again, without the dialog: a
// USB-serial adapter unplugged or re-created at a resume needs a new handle.
// Main thread, data lock held. True when it is open and configured.
bool ReopenComPort(TUPSLink& link, ISerialPortFactory& ports, ISleeper& sleeper);

}  // namespace velt
