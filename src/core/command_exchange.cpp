#include "core/command_exchange.h"

#include <algorithm>
#include <array>

namespace velt {

namespace {

enum class Variant { Poll, Command };

struct Outcome {
    bool ok = false;
    std::string raw;  // the collected bytes, unchanged
};

void LogFailure(ILogSink* log, const char* what, const IHidDevice& dev) {
    if (log) log->AddLogLine(std::string(what) + "! " + dev.LastErrorText());
}

// Collects input reports until the device has been silent for 500 ms or the
// buffer has no room left.
std::string CollectHidReports(IHidDevice& dev) {
    std::array<uint8_t, kCollectBufferSize> buf{};
    size_t fill = 0;
    while (fill < buf.size()) {
        if (!dev.StartRead(buf.data() + fill, buf.size() - fill)) break;
        const WaitOutcome waited = dev.WaitAlertable(kHidSilenceMs);
        fill = std::min(buf.size(), fill + dev.LastReadCount());
        if (waited != WaitOutcome::IoCompleted) break;
    }
    return std::string(reinterpret_cast<const char*>(buf.data()), fill);
}

// Only the Command variant logs; the poll's failures just withhold the notification.
Outcome HidTransaction(IHidDevice& dev, std::string_view command, Variant variant,
                       ISleeper& sleeper, ILogSink* log) {
    if (variant == Variant::Poll) log = nullptr;
    const std::vector<uint8_t> report = BuildHidReport(command, dev.OutputReportLength());
    if (!dev.OpenWrite()) {
        LogFailure(log, "OpenFile failed", dev);
        return {};
    }
    if (!dev.ReadHandleOpen()) dev.OpenRead();
    dev.SetInputBuffers(1);
    const bool sent = dev.WriteReport(report.data(), report.size(), kHidWriteWaitMs);
    if (!sent) LogFailure(log, "WriteFile failed", dev);
    dev.CloseWrite();
    if (!sent) {
        // Reports queued on the read handle by now would lead the next reply.
        dev.CloseRead();
        return {};
    }
    sleeper.Sleep(kAfterWritePauseMs);
    if (!dev.ReadHandleOpen() && !dev.OpenRead()) {
        LogFailure(log, "OpenFileEx failed", dev);
        return {};
    }
    dev.SetInputBuffers(variant == Variant::Poll ? kPollInputBuffers : kCommandInputBuffers);
    Outcome out{true, CollectHidReports(dev)};
    if (!dev.CancelPending()) LogFailure(log, "CancelIO failed", dev);
    dev.CloseRead();
    return out;
}

// Waits for a started overlapped operation; a timed-out one is cancelled.
// Gives the transferred count, or `fallback` when no completion was seen.
size_t AwaitTransfer(ISerialPort& port, size_t fallback) {
    if (port.WaitAlertable(kSerialWaitMs) == WaitOutcome::IoCompleted) return port.LastTransferred();
    port.CancelPending();
    return fallback;
}

Outcome SerialTransaction(ISerialPort& port, std::string_view command, Variant variant,
                          ISleeper& sleeper) {
    std::array<uint8_t, kCollectBufferSize> buf{};
    const size_t len = std::min(command.size(), buf.size());
    std::copy_n(command.begin(), len, buf.begin());
    // Whatever waits in the line now (the late tail of an earlier reply, bytes
    // nobody asked for) would stand in front of this command's reply.
    port.Purge();
    size_t written = len;
    if (port.StartWrite(buf.data(), len)) written = AwaitTransfer(port, written);
    if (variant == Variant::Poll && written == 0) return {};
    sleeper.Sleep(kAfterWritePauseMs);
    size_t got = 0;
    if (port.StartRead(buf.data(), buf.size())) got = std::min(buf.size(), AwaitTransfer(port, 0));
    return {got > 0, std::string(reinterpret_cast<const char*>(buf.data()), got)};
}

void StoreReply(TUPSLink& link, std::string_view raw, const IClock& clock) {
    link.ReplyText = FilterReply(raw);
    link.ReplyTime = clock.Now();
}

}  // namespace

std::string FilterReply(std::string_view raw) {
    std::string text;
    text.reserve(kMaxReplyChars);
    for (const char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0x00 || b >= 0x80) continue;
        if (text.size() >= kMaxReplyChars) break;
        if (b == '\r') {
            text.push_back('#');
            break;
        }
        text.push_back(c);
    }
    return text;
}

std::vector<uint8_t> BuildHidReport(std::string_view command, size_t length) {
    std::vector<uint8_t> r(length == 0 ? kUsualHidReportLength : length, 0);
    const size_t n = std::min(command.size(), r.size() - 1);
    std::copy_n(command.begin(), n, r.begin() + 1);
    return r;
}

bool PollExchange(TUPSLink& link, std::string_view query, ISleeper& sleeper, const IClock& clock) {
    if (link.HidUsable()) {
        const Outcome o = HidTransaction(*link.HidDevice, query, Variant::Poll, sleeper, nullptr);
        if (o.ok) StoreReply(link, o.raw, clock);
        return o.ok;
    }
    if (link.SerialUsable()) {
        // A failed serial poll still stores its (empty) reply and time.
        const Outcome o = SerialTransaction(*link.ComHandle, query, Variant::Poll, sleeper);
        StoreReply(link, o.raw, clock);
        return o.ok;
    }
    return false;
}

std::string ExchangeCommand(TUPSLink& link, std::string_view command, ISleeper& sleeper,
                            ILogSink& log) {
    if (link.HidUsable()) {
        const Outcome o = HidTransaction(*link.HidDevice, command, Variant::Command, sleeper, &log);
        // The first collected byte is the first report's id; the rest stays raw.
        return o.raw.size() > 1 ? o.raw.substr(1) : std::string();
    }
    if (link.SerialUsable())
        return SerialTransaction(*link.ComHandle, command, Variant::Command, sleeper).raw;
    return {};
}

}  // namespace velt
