#include "sys/posix/termios_serial.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "sys/error_text.h"
#include "sys/posix/comm_state_rules.h"

namespace velt {

namespace {

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

speed_t ToSpeed(uint32_t baud) {
    switch (baud) {
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 19200: return B19200;
        default: return B9600;
    }
}

std::string ErrnoText(const char* operation) {
    const int code = errno;
    return OperationErrorText(operation, static_cast<unsigned long>(code), std::strerror(code));
}

}  // namespace

TermiosSerialPort::~TermiosSerialPort() { ::close(fd_); }

bool TermiosSerialPort::Fail(const char* operation) {
    lastError_ = ErrnoText(operation);
    return false;
}

bool TermiosSerialPort::GetLineSettings(SerialLineSettings& out) {
    termios t{};
    if (tcgetattr(fd_, &t) != 0) return Fail("tcgetattr");
    out.baudRate = cfgetospeed(&t) == B2400 ? 2400 : 9600;
    out.byteSize = 8;
    out.xonChar = static_cast<char>(t.c_cc[VSTART]);
    out.xoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return true;
}

bool TermiosSerialPort::SetLineSettings(const SerialLineSettings& s) {
    if (const std::string refusal = CommStateRefusal(s); !refusal.empty()) {
        lastError_ = OperationErrorText("SetCommState", EINVAL, refusal);
        return false;
    }
    termios t{};
    if (tcgetattr(fd_, &t) != 0) return Fail("tcgetattr");
    cfmakeraw(&t);
    cfsetispeed(&t, ToSpeed(s.baudRate));
    cfsetospeed(&t, ToSpeed(s.baudRate));
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &t) != 0) return Fail("tcsetattr");
    // A pty has no modem lines; the settings still count as set.
    SetModemLine(TIOCM_DTR, s.dtrControl != LineControl::Disable);
    SetModemLine(TIOCM_RTS, s.rtsControl != LineControl::Disable);
    return true;
}

bool TermiosSerialPort::SetTimeouts(const SerialTimeouts& t) {
    timeouts_ = t;
    return true;
}

bool TermiosSerialPort::Purge() { return tcflush(fd_, TCIOFLUSH) == 0 || Fail("tcflush"); }

bool TermiosSerialPort::SetModemLine(int bit, bool raised) {
    return ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &bit) == 0 || Fail("ioctl");
}

bool TermiosSerialPort::SetDtr(bool raised) { return SetModemLine(TIOCM_DTR, raised); }

bool TermiosSerialPort::StartWrite(const uint8_t* data, size_t len) {
    const ssize_t n = ::write(fd_, data, len);
    if (n < 0) return Fail("write");
    last_ = static_cast<size_t>(n);
    pending_ = Pending::Write;
    return true;
}

bool TermiosSerialPort::StartRead(uint8_t* dst, size_t len) {
    readDst_ = dst;
    readLen_ = len;
    readGot_ = 0;
    last_ = 0;
    readDeadlineMs_ = NowMs() + timeouts_.readTotalConstant;
    pending_ = Pending::Read;
    return true;
}

WaitOutcome TermiosSerialPort::WaitAlertable(unsigned ms) {
    if (pending_ == Pending::Write) {
        pending_ = Pending::None;
        return WaitOutcome::IoCompleted;
    }
    if (pending_ != Pending::Read) {
        usleep(ms * 1000u);
        return WaitOutcome::TimedOut;
    }
    const long long waitEnd = NowMs() + ms;
    for (;;) {
        const long long now = NowMs();
        if (readGot_ == readLen_ || now >= readDeadlineMs_) {
            pending_ = Pending::None;
            last_ = readGot_;
            return WaitOutcome::IoCompleted;
        }
        if (now >= waitEnd) return WaitOutcome::TimedOut;
        pollfd p{fd_, POLLIN, 0};
        const int left = static_cast<int>(std::min(readDeadlineMs_, waitEnd) - now);
        if (::poll(&p, 1, left) > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(fd_, readDst_ + readGot_, readLen_ - readGot_);
            if (n > 0) readGot_ += static_cast<size_t>(n);
        } else if (p.revents & (POLLHUP | POLLERR)) {
            usleep(static_cast<useconds_t>(left) * 1000u);  // peer gone: run the time-out out
        }
    }
}

bool TermiosSerialPort::CancelPending() {
    pending_ = Pending::None;
    return true;
}

std::unique_ptr<ISerialPort> TermiosPortFactory::Open(int number) {
    const auto it = paths_.find(number);
    if (it == paths_.end()) {
        lastError_ = OperationErrorText("open", ENOENT, "no device path for " + std::to_string(number));
        return nullptr;
    }
    const int fd = ::open(it->second.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        lastError_ = ErrnoText("open");
        return nullptr;
    }
    return std::make_unique<TermiosSerialPort>(fd);
}

}  // namespace velt
