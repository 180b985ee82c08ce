#include "core/com_port.h"

#include <algorithm>
#include <charconv>

namespace velt {

namespace {

constexpr uint32_t kBaudRate = 2400;
constexpr uint32_t kReadTotalConstantMs = 500;
constexpr unsigned kAfterLinesPauseMs = 100;

constexpr char kXon = 0x11, kXoff = 0x13;

LineControl Raised(bool on) { return on ? LineControl::Enable : LineControl::Disable; }

// 2400 8N1 with no flow control at all: the UPS answers whatever the modem
// lines do. XON/XOFF stay off but keep distinct characters, since Windows
// refuses a state whose XonChar equals its XoffChar.
bool ApplyLineSettings(ISerialPort& port, bool dtr, bool rts) {
    SerialLineSettings s;
    if (!port.GetLineSettings(s)) return false;
    s.baudRate = kBaudRate;
    s.byteSize = 8;
    s.parity = 0;
    s.stopBits = 0;
    s.eofChar = s.errorChar = s.evtChar = 0;
    s.xonChar = kXon;
    s.xoffChar = kXoff;
    s.xonLim = s.xoffLim = 0;
    s.inX = s.outX = false;
    s.outxCtsFlow = s.outxDsrFlow = s.dsrSensitivity = false;
    s.abortOnError = false;
    s.dtrControl = Raised(dtr);
    s.rtsControl = Raised(rts);
    return port.SetLineSettings(s);
}

bool ApplyTimeouts(ISerialPort& port) {
    SerialTimeouts t;
    t.readTotalConstant = kReadTotalConstantMs;
    return port.SetTimeouts(t);
}

void ListFreePorts(ISerialPortFactory& ports, IComPortDialog& dialog) {
    dialog.ClearPorts();
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        auto port = ports.Open(n);
        SerialLineSettings probe;
        if (port && port->GetLineSettings(probe)) dialog.AddPort(ComPortName(n));
    }
    dialog.SelectFirstPort();
}

// Takes the port and line choice from the dialog; false when nothing is selectable.
bool TakeDialogChoice(TUPSLink& link, const IComPortDialog& dialog) {
    const auto selected = dialog.SelectedPort();
    const auto number = selected ? ComPortNumber(*selected) : std::nullopt;
    if (!number) return false;
    link.ComPort = static_cast<uint8_t>(*number);
    link.ComDtr = dialog.DtrChecked();
    link.ComRts = dialog.RtsChecked();
    return true;
}

// The port's own words for the step that failed; none when all went through.
std::optional<std::string> ConfigureFailure(ISerialPort& port, bool dtr, bool rts, ISleeper& sleeper) {
    if (!ApplyLineSettings(port, dtr, rts) || !ApplyTimeouts(port) || !port.Purge()) return port.LastErrorText();
    sleeper.Sleep(kAfterLinesPauseMs);
    if (!port.SetEventMaskRxChar()) return port.LastErrorText();
    return std::nullopt;
}

// One attempt on link.ComPort: open and configured in link.ComHandle, or
// closed and why.
std::optional<std::string> OpenAndConfigure(TUPSLink& link, ISerialPortFactory& ports, ISleeper& sleeper) {
    link.ComHandle = ports.Open(link.ComPort);
    if (!link.ComHandle) return ports.LastErrorText();
    auto failure = ConfigureFailure(*link.ComHandle, link.ComDtr, link.ComRts, sleeper);
    if (failure) link.ComHandle.reset();
    return failure;
}

}  // namespace

std::string ComPortName(int number) { return "COM" + std::to_string(number); }

std::optional<int> ComPortNumber(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return std::nullopt;
    int n = 0;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size();
    const auto [ptr, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || ptr != last || n < kFirstComPort || n > 255) return std::nullopt;
    return n;
}

bool ConfigureComPort(std::unique_ptr<ISerialPort>& port, bool dtr, bool rts, ISleeper& sleeper) {
    if (!port) return false;
    if (!ConfigureFailure(*port, dtr, rts, sleeper)) return true;
    port.reset();
    return false;
}

bool OpenComPort(TUPSLink& link, ISerialPortFactory& ports, IComPortDialog& dialog, ISleeper& sleeper,
                 ILogSink& log) {
    link.ComHandle.reset();
    ListFreePorts(ports, dialog);
    if (link.ComPort == 0 && !dialog.ShowModal()) return false;
    const int attempts = std::max(0, link.ComMaxAttempts) + 1;
    std::string why;
    for (int i = 0; i < attempts; ++i) {
        if (link.ComPort == 0 && !TakeDialogChoice(link, dialog)) return false;
        const auto failure = OpenAndConfigure(link, ports, sleeper);
        if (!failure) return true;
        why = *failure;
    }
    log.AddLogLine(ComPortName(link.ComPort) + " could not be used: " + why);
    return false;
}

bool ReopenComPort(TUPSLink& link, ISerialPortFactory& ports, ISleeper& sleeper) {
    link.ComHandle.reset();
    return link.ComPort != 0 && !OpenAndConfigure(link, ports, sleeper);
}

}  // namespace velt
