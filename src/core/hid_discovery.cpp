#include "core/hid_discovery.h"

#include <cstdio>

namespace velt {

namespace {

struct IdPair {
    uint16_t vid, pid;
};
constexpr IdPair kAcceptedPairs[] = {{0x06DA, 0x0003}, {0x0F03, 0x0001}, {0x0665, 0x5161}};

std::string LowerHex(uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(v));
    return buf;
}

}  // namespace

bool AcceptedIds::Accepts(uint16_t vid, uint16_t pid) const {
    for (const auto& p : kAcceptedPairs)
        if (p.vid == vid && p.pid == pid) return true;
    return vid == extraVid && pid == extraPid;
}

std::string Hex4(uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v));
    return buf;
}

std::string HidListText(const IHidDevice& device) {
    const std::string product = device.ProductName();
    if (!product.empty()) return product;
    return "Device VID=" + LowerHex(device.VendorId()) + " PID=" + LowerHex(device.ProductId());
}

bool THidDiscovery::FindUsbUps() {
    found_ = false;
    for (IHidDevice* device : listed_) d_.controller.CheckIn(*device);
    listed_.clear();
    d_.view.ClearHidList();
    d_.link.HidDevice = nullptr;
    d_.log.AddLogLine("Device(s) enumerated");
    d_.controller.Enumerate([this](IHidDevice& device, size_t index) { return HIDEnumerate(device, index); });
    return found_;
}

bool THidDiscovery::HIDEnumerate(IHidDevice& device, size_t index) {
    const uint16_t vid = device.VendorId(), pid = device.ProductId();
    d_.log.AddLogLine("HID found: Device VID=" + Hex4(vid) + " PID=" + Hex4(pid));
    if (!d_.accepted.Accepts(vid, pid)) return true;
    if (!d_.controller.CheckOut(index) || !device.PluggedAndCheckedOut()) return true;
    listed_.push_back(&device);
    d_.view.AddHidEntry(HidListText(device));
    d_.log.AddLogLine("USB UPS enumerated");
    d_.link.HidDevice = &device;
    d_.link.Vid = vid;
    d_.link.Pid = pid;
    vidText_ = Hex4(vid);
    pidText_ = Hex4(pid);
    productText_ = device.ProductName();
    d_.view.ShowIdentity(vidText_, pidText_, productText_);
    found_ = true;
    d_.controller.StopBackgroundReading(device);
    d_.feedback.SetStatusText("USB UPS found");
    return true;
}

void THidDiscovery::LogDevice(const IHidDevice& device, const char* what) {
    d_.log.AddLogLine("Device(s) VID:0x" + Hex4(device.VendorId()) + " PID:0x" + Hex4(device.ProductId()) +
                      " " + what);
}

void THidDiscovery::HIDArrival(IHidDevice& device) {
    LogDevice(device, "arrived");
    // Devices present at start-up are found by the automatic start itself.
    if (d_.startTimerEnabled && d_.startTimerEnabled()) return;
    DataLockGuard guard(d_.lock);
    TUPSLink& link = d_.link;
    if (link.Monitoring || !d_.accepted.Accepts(device.VendorId(), device.ProductId())) return;
    link.UsbActive = FindUsbUps();
    if (link.UsbActive) link.Monitoring = d_.detectProtocol();
    if (link.Monitoring) d_.startMonitoring();
}

void THidDiscovery::HIDRemoval(IHidDevice& device) {
    LogDevice(device, "removed");
    DataLockGuard guard(d_.lock);
    TUPSLink& link = d_.link;
    if (!link.UsbActive || !d_.accepted.Accepts(device.VendorId(), device.ProductId()) ||
        link.HidDevice != &device)
        return;
    d_.stopMonitoring();
    link.UsbActive = false;
    link.Monitoring = false;
    link.HidDevice = nullptr;
}

void THidDiscovery::HIDDeviceChange() { d_.log.AddLogLine("Device(s) changed"); }

}  // namespace velt
