#pragma once
// This computer's UPS as a reading source: found over USB (HID) or a serial
// port, detected, and polled by the I/O worker into the link.
#include "app/worker_owner.h"
#include "core/com_port.h"
#include "core/detection.h"
#include "core/hid_discovery.h"
#include "core/ups_link.h"
#include "status/battery_charge.h"
#include "status/reading_source.h"
#include "sys/data_lock.h"
#include "sys/serial_port.h"

namespace velt {

struct UpsLinkSourceDeps {
    TUPSLink& link;
    IDataLock& lock;
    HidDiscovery& discovery;
    Detector& detector;
    const BatteryCharge& battery;  // the nominal voltage the pack's is read with
    ISerialPortFactory& serialPorts;
    IComPortDialog& portDialog;
    ISleeper& sleeper;
    ILogSink& log;
    char decimalSeparator = '.';
};

class UpsLinkSource final : public IReadingSource {
public:
    explicit UpsLinkSource(UpsLinkSourceDeps deps) : d_(deps) {}

    // The worker starts once, after the settings are loaded, and polls
    // whenever monitoring is on.
    void StartPolling(ISleeper& workerSleeper, const IClock& clock, ReadData::Hooks hooks);
    // False when the worker did not end within its bounded wait.
    bool StopPolling(IMessagePump& pump, ISleeper& sleeper) { return worker_.Stop(pump, sleeper); }

    bool Connect() override;
    bool Reconnect() override;
    SourceReply TakeReply() override;
    void StopPolling() override;
    bool Found() const override;
    bool Monitoring() const override;
    void SetRefreshInterval(uint32_t ms) override;
    ShownDevice Device() const override;
    UpsIdentityText Identity() const override;
    IPollingWorker& Poller() override { return worker_; }

private:
    void Disconnect();

    UpsLinkSourceDeps d_;
    WorkerOwner worker_;
};

}  // namespace velt
