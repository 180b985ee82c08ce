#include "sys/win32/win_serial_port.h"

#include <string>

#include "sys/win32/system_error_text.h"

namespace velt::win {

WinSerialPort::~WinSerialPort() { io_.Cancel(port_.get()); }

bool WinSerialPort::Fail(const char* operation) {
    lastError_ = win::LastErrorText(operation);
    return false;
}

bool WinSerialPort::GetLineSettings(SerialLineSettings& out) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(port_.get(), &dcb)) return Fail("GetCommState");
    dcb_ = dcb;
    dcbRead_ = true;
    out.baudRate = dcb.BaudRate;
    out.byteSize = dcb.ByteSize;
    out.parity = dcb.Parity;
    out.stopBits = dcb.StopBits;
    out.eofChar = dcb.EofChar;
    out.errorChar = dcb.ErrorChar;
    out.evtChar = dcb.EvtChar;
    out.xonChar = dcb.XonChar;
    out.xoffChar = dcb.XoffChar;
    out.xonLim = dcb.XonLim;
    out.xoffLim = dcb.XoffLim;
    out.inX = dcb.fInX;
    out.outX = dcb.fOutX;
    out.outxCtsFlow = dcb.fOutxCtsFlow;
    out.outxDsrFlow = dcb.fOutxDsrFlow;
    out.dsrSensitivity = dcb.fDsrSensitivity;
    out.abortOnError = dcb.fAbortOnError;
    out.dtrControl = static_cast<LineControl>(dcb.fDtrControl);
    out.rtsControl = static_cast<LineControl>(dcb.fRtsControl);
    return true;
}

bool WinSerialPort::SetLineSettings(const SerialLineSettings& s) {
    if (!dcbRead_) {
        SerialLineSettings ignored;
        if (!GetLineSettings(ignored)) return false;
    }
    DCB dcb = dcb_;
    dcb.BaudRate = s.baudRate;
    dcb.ByteSize = s.byteSize;
    dcb.Parity = s.parity;
    dcb.StopBits = s.stopBits;
    dcb.EofChar = s.eofChar;
    dcb.ErrorChar = s.errorChar;
    dcb.EvtChar = s.evtChar;
    dcb.XonChar = s.xonChar;
    dcb.XoffChar = s.xoffChar;
    dcb.XonLim = s.xonLim;
    dcb.XoffLim = s.xoffLim;
    dcb.fInX = s.inX;
    dcb.fOutX = s.outX;
    dcb.fOutxCtsFlow = s.outxCtsFlow;
    dcb.fOutxDsrFlow = s.outxDsrFlow;
    dcb.fDsrSensitivity = s.dsrSensitivity;
    dcb.fAbortOnError = s.abortOnError;
    dcb.fDtrControl = static_cast<DWORD>(s.dtrControl);
    dcb.fRtsControl = static_cast<DWORD>(s.rtsControl);
    dcb.fBinary = TRUE;  // Windows knows no other mode
    if (!::SetCommState(port_.get(), &dcb)) return Fail("SetCommState");
    dcb_ = dcb;
    return true;
}

bool WinSerialPort::SetTimeouts(const SerialTimeouts& t) {
    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = t.readInterval;
    ct.ReadTotalTimeoutMultiplier = t.readTotalMultiplier;
    ct.ReadTotalTimeoutConstant = t.readTotalConstant;
    ct.WriteTotalTimeoutMultiplier = t.writeTotalMultiplier;
    ct.WriteTotalTimeoutConstant = t.writeTotalConstant;
    return ::SetCommTimeouts(port_.get(), &ct) || Fail("SetCommTimeouts");
}

bool WinSerialPort::Purge() { return ::PurgeComm(port_.get(), PURGE_TXCLEAR | PURGE_RXCLEAR) || Fail("PurgeComm"); }

bool WinSerialPort::SetDtr(bool raised) {
    return ::EscapeCommFunction(port_.get(), raised ? SETDTR : CLRDTR) || Fail("EscapeCommFunction");
}

bool WinSerialPort::SetEventMaskRxChar() { return ::SetCommMask(port_.get(), EV_RXCHAR) || Fail("SetCommMask"); }

bool WinSerialPort::StartWrite(const uint8_t* data, size_t len) {
    return io_.StartWrite(port_.get(), data, len) || Fail("WriteFile");
}

bool WinSerialPort::StartRead(uint8_t* dst, size_t len) {
    return io_.StartRead(port_.get(), dst, len) || Fail("ReadFile");
}

WaitOutcome WinSerialPort::WaitAlertable(unsigned ms) { return AlertableWait(ms); }

size_t WinSerialPort::LastTransferred() { return io_.Transferred(port_.get()); }

bool WinSerialPort::CancelPending() { return io_.Cancel(port_.get()) || Fail("CancelIo"); }

std::unique_ptr<ISerialPort> WinSerialPortFactory::Open(int number) {
    // The \\.\ form also reaches ports numbered 10 and above.
    const std::string path = "\\\\.\\COM" + std::to_string(number);
    Handle h(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) {
        lastError_ = win::LastErrorText("CreateFile");
        return nullptr;
    }
    return std::make_unique<WinSerialPort>(std::move(h));
}

}  // namespace velt::win
