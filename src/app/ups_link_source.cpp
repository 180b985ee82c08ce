#include "app/ups_link_source.h"

namespace velt {

void UpsLinkSource::StartPolling(ISleeper& workerSleeper, const IClock& clock, ReadData::Hooks hooks) {
    worker_.Start(d_.link, d_.lock, workerSleeper, clock, std::move(hooks));
}

// USB first; a serial port only when no USB UPS is there. The caller holds
// the data lock once: the port dialog lets go of it while it asks.
bool UpsLinkSource::Connect() {
    TUPSLink& link = d_.link;
    link.UsbActive = false;
    link.ComActive = false;
    link.Monitoring = false;
    link.UsbActive = d_.discovery.FindUsbUps();
    if (!link.UsbActive) link.ComActive = OpenComPort(link, d_.serialPorts, d_.portDialog, d_.sleeper, d_.log);
    if (link.UsbActive || link.ComActive) link.Monitoring = d_.detector.DetectProtocol();
    if (link.Monitoring) return true;
    Disconnect();
    return false;
}

void UpsLinkSource::Disconnect() {
    d_.link.ComHandle.reset();
    d_.link.UsbActive = false;
    d_.link.ComActive = false;
    d_.link.ComPort = 0;
}

// Close, reopen and detect again. A failed try keeps the protocol found
// before, so polling goes on with the same query and its answer, whenever it
// comes, is understood.
bool UpsLinkSource::Reconnect() {
    DataLockGuard guard(d_.lock);
    TUPSLink& link = d_.link;
    const bool q1 = link.Q1Supported, qs = link.QSSupported, f = link.FSupported, i = link.ISupported;
    if (link.ComActive) ReopenComPort(link, d_.serialPorts, d_.sleeper);
    if (d_.detector.DetectProtocol(DetectionStart::Reconnect)) return true;
    link.Q1Supported = q1;
    link.QSSupported = qs;
    link.FSupported = f;
    link.ISupported = i;
    return false;
}

// The lock is held only to copy; the parse needs none.
SourceReply UpsLinkSource::TakeReply() {
    SourceReply reply;
    bool detected = false;
    {
        DataLockGuard guard(d_.lock);
        reply.monitoring = d_.link.Monitoring;
        reply.text = d_.link.ReplyText;
        reply.when = d_.link.ReplyTime;
        detected = d_.link.ProtocolDetected();
    }
    if (reply.monitoring && !reply.text.empty())
        reply.status = ParseStatusReply(reply.text, reply.when, detected, d_.decimalSeparator,
                                        d_.battery.NominalBatteryVoltage());
    return reply;
}

void UpsLinkSource::StopPolling() {
    DataLockGuard guard(d_.lock);
    d_.link.Monitoring = false;
}

// The worker writes only the reply and its time; the rest of the link is the
// main thread's, which reads it here without the lock (a wineserver call
// under Wine, once a second otherwise).
bool UpsLinkSource::Found() const { return d_.link.ProtocolDetected(); }

bool UpsLinkSource::Monitoring() const { return d_.link.Monitoring; }

void UpsLinkSource::SetRefreshInterval(uint32_t ms) {
    DataLockGuard guard(d_.lock);
    d_.link.RefreshIntervalMs = ms;
}

ShownDevice UpsLinkSource::Device() const {
    const TUPSLink& link = d_.link;
    ShownDevice device;
    device.protocol = link.Q1Supported ? "Megatec" : link.QSSupported ? "Mustek" : "";
    device.usb = link.UsbActive;
    device.vid = link.Vid;
    device.pid = link.Pid;
    if (link.ISupported) device.info = d_.detector.Information();
    if (link.FSupported) device.rated = d_.detector.Rated();
    return device;
}

UpsIdentityText UpsLinkSource::Identity() const {
    return {d_.discovery.VidText(), d_.discovery.PidText(), d_.discovery.ProductText()};
}

}  // namespace velt
