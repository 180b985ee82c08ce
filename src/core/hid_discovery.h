#pragma once
// Finding a USB UPS among the HID devices by its vendor and product id, and
// reacting to devices arriving and leaving. Main thread only.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/feedback.h"
#include "core/event_sink.h"
#include "core/ups_link.h"
#include "sys/data_lock.h"
#include "sys/hid_controller.h"

namespace velt {

// The fixed pairs plus one extra pair from the command line; each id the
// command line does not set is 0xFFFF.
struct AcceptedIds {
    uint16_t extraVid = 0xFFFF, extraPid = 0xFFFF;
    bool Accepts(uint16_t vid, uint16_t pid) const;
};

std::string Hex4(uint16_t v);  // four upper-case hexadecimal digits
// The USBLB entry: the product string, or "Device VID=665 PID=5161".
std::string HidListText(const IHidDevice& device);

class IHidListView {
public:
    virtual ~IHidListView() = default;
    virtual void ClearHidList() = 0;
    virtual void AddHidEntry(const std::string& text) = 0;  // and selects it
    // Enables VIDNL/PIDNL/ProductNameNL and the edits, and shows the texts.
    virtual void ShowIdentity(const std::string& vid, const std::string& pid, const std::string& product) = 0;
};

struct HidDiscoveryDeps {
    TUPSLink& link;
    IDataLock& lock;
    IHidController& controller;
    ILogSink& log;
    IFeedback& feedback;
    IHidListView& view;
    const AcceptedIds& accepted;  // the extra pair comes from the command line
    // While the start timer runs (its start finds what is there) or the UPS
    // is read from elsewhere, an arrival starts nothing.
    std::function<bool()> arrivalsIgnored;
    std::function<bool()> detectProtocol;
    std::function<void()> startMonitoring;
    std::function<void()> stopMonitoring;
};

class HidDiscovery {
public:
    explicit HidDiscovery(HidDiscoveryDeps deps) : deps_(std::move(deps)) {}

    // Data lock held by the caller. True when an accepted device was checked out.
    bool FindUsbUps();
    bool HIDEnumerate(IHidDevice& device, size_t index);
    void HIDArrival(IHidDevice& device);
    void HIDRemoval(IHidDevice& device);
    void HIDDeviceChange();

    // The identity texts as VIDE, PIDE and ProductNameE show them.
    const std::string& VidText() const { return vidText_; }
    const std::string& PidText() const { return pidText_; }
    const std::string& ProductText() const { return productText_; }

private:
    void LogDevice(const IHidDevice& device, const char* what);

    HidDiscoveryDeps deps_;
    std::vector<IHidDevice*> listed_;
    bool found_ = false;
    std::string vidText_, pidText_, productText_;
};

}  // namespace velt
