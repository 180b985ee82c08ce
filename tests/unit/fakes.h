#pragma once
// Fakes of the OS seam for unit tests: virtual time, scripted HID and serial
// devices that record every operation, and a recording view.
#include <atomic>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/main_view.h"
#include "core/com_port.h"
#include "core/event_sink.h"
#include "core/date_time_text.h"
#include "sys/clock.h"
#include "sys/data_lock.h"
#include "sys/file_writer.h"
#include "sys/hid_device.h"
#include "sys/posix/comm_state_rules.h"
#include "sys/serial_port.h"

namespace velt::test {

// Virtual milliseconds; sleeps and timed-out waits advance it.
struct VirtualTime : ISleeper, IClock {
    long long nowMs = 0;
    std::vector<unsigned> sleeps;
    LocalDateTime base{2026, 12, 7, 22, 38, 46, 123};

    void Sleep(unsigned ms) override {
        sleeps.push_back(ms);
        nowMs += ms;
    }
    LocalDateTime Now() const override {
        LocalDateTime t = base;
        t.second += static_cast<int>(nowMs / 1000);
        return t;
    }
    uint64_t MonotonicMs() const override { return static_cast<uint64_t>(nowMs); }
    long long SumSleeps() const {
        long long s = 0;
        for (unsigned v : sleeps) s += v;
        return s;
    }
};

struct FakeLog : ILogSink {
    std::vector<std::string> lines;
    void AddLogLine(const std::string& m) override { lines.push_back(m); }
};

struct FakeLock : IDataLock {
    std::recursive_mutex m;
    int depth = 0, acquisitions = 0;
    std::atomic<int> waiting{0};  // threads inside Lock that do not hold it yet
    void Lock() override {
        ++waiting;
        m.lock();
        --waiting;
        ++depth;
        ++acquisitions;
    }
    void Unlock() override {
        --depth;
        m.unlock();
    }
};

struct FixedFormat : IDateTimeFormat {
    std::string ShortDate(const LocalDateTime& t) const override {
        char b[16];
        std::snprintf(b, sizeof b, "%02d.%02d.%04d", t.day, t.month, t.year);
        return b;
    }
    std::string LongTime(const LocalDateTime& t) const override {
        char b[16];
        std::snprintf(b, sizeof b, "%02d:%02d:%02d", t.hour, t.minute, t.second);
        return b;
    }
};

// A HID UPS: each queued input report is delivered by one read; a read with
// nothing queued runs its wait out.
struct FakeHid : IHidDevice {
    VirtualTime& time;
    std::vector<std::string> ops;
    std::deque<std::vector<uint8_t>> reports;
    std::vector<uint8_t> lastWrite;  // the last report the device took
    size_t outputLength = 9;         // from its capabilities, report id included
    bool plugged = true, writeOpens = true, readOpens = true, writeOk = true, cancelOk = true;
    bool writeHangs = false;  // the write runs out its time limit
    bool readOpen = false, pendingDone = false;
    size_t lastCount = 0;

    explicit FakeHid(VirtualTime& t) : time(t) {}

    // Queues `text` in 9-byte reports: id 0 and 8 characters, zero padded.
    void QueueReply(const std::string& text) {
        for (size_t i = 0; i < text.size(); i += 8) {
            std::vector<uint8_t> r(9, 0);
            const std::string part = text.substr(i, 8);
            std::memcpy(r.data() + 1, part.data(), part.size());
            reports.push_back(r);
        }
    }

    uint16_t VendorId() const override { return 0x0665; }
    uint16_t ProductId() const override { return 0x5161; }
    std::string ProductName() const override { return "Fake UPS"; }
    bool PluggedAndCheckedOut() const override { return plugged; }
    size_t OutputReportLength() const override { return outputLength; }
    bool OpenWrite() override {
        ops.push_back("OpenWrite");
        return writeOpens;
    }
    bool WriteReport(const uint8_t* r, size_t len, unsigned ms) override {
        ops.push_back("Write " + std::to_string(len));
        if (writeHangs) {
            time.nowMs += ms;
            return false;
        }
        // The HID class driver takes only reports of the device's own length.
        const bool ok = writeOk && len == outputLength;
        if (ok) lastWrite.assign(r, r + len);
        return ok;
    }
    void CloseWrite() override { ops.push_back("CloseWrite"); }
    bool ReadHandleOpen() const override { return readOpen; }
    bool OpenRead() override {
        ops.push_back("OpenRead");
        readOpen = readOpens;
        return readOpens;
    }
    bool StartRead(uint8_t* dst, size_t len) override {
        ops.push_back("StartRead " + std::to_string(len));
        pendingDone = false;
        lastCount = 0;
        if (len < 9) return false;
        if (!reports.empty()) {
            const auto r = reports.front();
            reports.pop_front();
            std::memcpy(dst, r.data(), r.size());
            lastCount = r.size();
            pendingDone = true;
        }
        return true;
    }
    WaitOutcome WaitAlertable(unsigned ms) override {
        ops.push_back("Wait " + std::to_string(ms));
        if (pendingDone) return WaitOutcome::IoCompleted;
        time.nowMs += ms;
        return WaitOutcome::TimedOut;
    }
    size_t LastReadCount() override { return pendingDone ? lastCount : 0; }
    bool CancelPending() override {
        ops.push_back("Cancel");
        return cancelOk;
    }
    void CloseRead() override {
        ops.push_back("CloseRead");
        readOpen = false;
    }
    void SetInputBuffers(unsigned n) override { ops.push_back("Buffers " + std::to_string(n)); }
    std::string LastErrorText() const override { return "The device is not connected"; }
};

// A serial UPS: `reply` is what a read delivers after a write.
struct FakeSerial : ISerialPort {
    VirtualTime& time;
    std::vector<std::string> ops;
    std::string written;
    std::string reply;
    std::string stray;  // already waiting in the receive buffer, ahead of any reply
    bool writeStarts = true, writeCompletes = true, readStarts = true, readCompletes = true;
    size_t writeReports = SIZE_MAX;  // count a completed write reports; SIZE_MAX = all
    bool getOk = true, setOk = true, timeoutsOk = true, purgeOk = true, maskOk = true;
    SerialLineSettings applied;
    std::string refusal;  // why the last SetLineSettings was refused, as Windows would
    SerialTimeouts timeouts;
    std::optional<bool> dtr;
    size_t last = 0;
    bool pending = false;
    bool* destroyed = nullptr;
    // When set, each written command picks the reply the next read gives.
    std::function<std::string(const std::string&)> responder;

    explicit FakeSerial(VirtualTime& t) : time(t) {}
    ~FakeSerial() override {
        if (destroyed) *destroyed = true;
    }

    bool GetLineSettings(SerialLineSettings& s) override {
        ops.push_back("GetLine");
        s.baudRate = 9600;
        s.eofChar = 26;
        s.xonLim = 2048;
        // Flow control as another program may have left it.
        s.inX = s.outX = s.outxCtsFlow = s.outxDsrFlow = s.dsrSensitivity = s.abortOnError = true;
        s.dtrControl = s.rtsControl = LineControl::Handshake;
        return getOk;
    }
    bool SetLineSettings(const SerialLineSettings& s) override {
        ops.push_back("SetLine");
        refusal = CommStateRefusal(s);
        if (!refusal.empty()) return false;
        applied = s;
        return setOk;
    }
    bool SetTimeouts(const SerialTimeouts& t) override {
        ops.push_back("Timeouts");
        timeouts = t;
        return timeoutsOk;
    }
    bool Purge() override {
        ops.push_back("Purge");
        if (purgeOk) stray.clear();
        return purgeOk;
    }
    bool SetDtr(bool on) override {
        ops.push_back(on ? "DTR on" : "DTR off");
        dtr = on;
        return true;
    }
    bool SetEventMaskRxChar() override {
        ops.push_back("Mask");
        return maskOk;
    }
    bool StartWrite(const uint8_t* d, size_t len) override {
        ops.push_back("StartWrite " + std::to_string(len));
        if (!writeStarts) return false;
        written.append(reinterpret_cast<const char*>(d), len);
        if (responder) reply = responder(std::string(reinterpret_cast<const char*>(d), len));
        pending = writeCompletes;
        last = writeReports == SIZE_MAX ? len : writeReports;
        return true;
    }
    bool StartRead(uint8_t* dst, size_t len) override {
        ops.push_back("StartRead " + std::to_string(len));
        if (!readStarts) return false;
        const std::string in = stray + reply;
        stray.clear();
        const size_t n = std::min(len, in.size());
        std::memcpy(dst, in.data(), n);
        pending = readCompletes;
        last = n;
        return true;
    }
    WaitOutcome WaitAlertable(unsigned ms) override {
        ops.push_back("Wait " + std::to_string(ms));
        if (pending) {
            pending = false;
            return WaitOutcome::IoCompleted;
        }
        time.nowMs += ms;
        return WaitOutcome::TimedOut;
    }
    size_t LastTransferred() override { return last; }
    bool CancelPending() override {
        ops.push_back("Cancel");
        return true;
    }
    std::string LastErrorText() const override { return {}; }
};

// COM ports by number; each opens a FakeSerial whose event mask succeeds per the map.
struct FakePorts : ISerialPortFactory {
    VirtualTime& time;
    std::map<int, bool> present;  // number -> configurable
    std::vector<int> opened;
    int failOpensOf = 0;  // opens of this port fail this many more times
    // Given to every port opened, so the UPS behind it answers by command.
    std::function<std::string(const std::string&)> responder;
    explicit FakePorts(VirtualTime& t) : time(t) {}
    std::unique_ptr<ISerialPort> Open(int n) override {
        opened.push_back(n);
        if (!present.count(n)) return nullptr;
        if (failOpensOf > 0) {
            --failOpensOf;
            return nullptr;
        }
        auto p = std::make_unique<FakeSerial>(time);
        p->maskOk = present[n];
        p->responder = responder;
        return p;
    }
    std::string LastErrorText() const override { return {}; }
};

// The port dialog: closed with OK unless told otherwise.
struct FakeDialog : IComPortDialog {
    std::vector<std::string> ports;
    int selected = -1, shown = 0;
    bool ok = true, dtr = true, rts = false;
    void ClearPorts() override { ports.clear(), selected = -1; }
    void AddPort(const std::string& n) override { ports.push_back(n); }
    void SelectFirstPort() override { selected = ports.empty() ? -1 : 0; }
    std::function<void()> onShow;
    bool ShowModal() override {
        ++shown;
        if (onShow) onShow();
        return ok;
    }
    std::optional<std::string> SelectedPort() const override {
        if (selected < 0) return std::nullopt;
        return ports[selected];
    }
    bool DtrChecked() const override { return dtr; }
    bool RtsChecked() const override { return rts; }
};

struct RecordingView : IMainView {
    std::string report, timeText, spinner;
    std::vector<std::string> log;
    std::vector<std::string> spinnerHistory;
    bool startEnabled = true, stopEnabled = false;
    std::optional<std::string> savePath, programPath;
    std::string proposedName;
    std::vector<std::string> errors;
    std::optional<TUPSSettings> shownSettings;
    std::vector<PowerActionAvailability> availability;
    std::optional<bool> forceOptions;
    ExternalProgramLabel program;
    std::string osLabel, fileVersion;
    int aboutBoxes = 0, closes = 0, minimizes = 0;
    std::optional<bool> httpPortEditable, httpCredentialsEditable, nutPortEditable;

    void SetReportString(const std::string& t) override { report = t; }
    void SetTimeText(const std::string& t) override { timeText = t; }
    void SetSpinner(const std::string& g) override {
        spinner = g;
        spinnerHistory.push_back(g);
    }
    void AppendLogLine(const std::string& l) override { log.push_back(l); }
    void ClearLog() override { log.clear(); }
    void SetStartEnabled(bool e) override { startEnabled = e; }
    void SetStopEnabled(bool e) override { stopEnabled = e; }
    void ShowSettings(const TUPSSettings& live) override { shownSettings = live; }
    void ApplyPowerAvailability(const PowerActionAvailability& a) override { availability.push_back(a); }
    void SetForceOptionsEnabled(bool e) override { forceOptions = e; }
    void ShowExternalProgram(const ExternalProgramLabel& l) override { program = l; }
    void ShowAbout(const std::string& os, const std::string& version) override {
        osLabel = os;
        fileVersion = version;
    }
    void ShowAboutBox() override { ++aboutBoxes; }
    std::optional<std::string> AskSaveLogPath(const std::string& proposed) override {
        proposedName = proposed;
        return savePath;
    }
    std::optional<std::string> AskExternalProgram() override { return programPath; }
    void ShowError(const std::string& m) override { errors.push_back(m); }
    void SetNutPortEditable(bool e) override { nutPortEditable = e; }
    void SetHttpPortEditable(bool e) override { httpPortEditable = e; }
    void SetHttpCredentialsEditable(bool e) override { httpCredentialsEditable = e; }
    void CloseWindow() override { ++closes; }
    void MinimizeToTray() override { ++minimizes; }
};

struct FakeFiles : IFileWriter {
    std::string path, bytes;
    bool ok = true;
    bool WriteAll(const std::string& p, const std::string& b, std::string& err) override {
        if (!ok) {
            err = "Access is denied";
            return false;
        }
        path = p;
        bytes = b;
        return true;
    }
};

}  // namespace velt::test
