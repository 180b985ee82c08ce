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

bool HidDiscovery::FindUsbUps() {
    found_ = false;
    for (IHidDevice* device : listed_) deps_.controller.CheckIn(*device);
    listed_.clear();
    deps_.view.ClearHidList();
    deps_.link.HidDevice = nullptr;
    deps_.log.AddLogLine("Device(s) enumerated");
    deps_.controller.Enumerate([this](IHidDevice& device, size_t index) { return HIDEnumerate(device, index); });
    return found_;
}

bool HidDiscovery::HIDEnumerate(IHidDevice& device, size_t index) {
    const uint16_t vid = device.VendorId(), pid = device.ProductId();
    deps_.log.AddLogLine("HID found: Device VID=" + Hex4(vid) + " PID=" + Hex4(pid));
    if (!deps_.accepted.Accepts(vid, pid)) return true;
    if (!deps_.controller.CheckOut(index) || !device.PluggedAndCheckedOut()) return true;
    listed_.push_back(&device);
    deps_.view.AddHidEntry(HidListText(device));
    deps_.log.AddLogLine("USB UPS enumerated");
    deps_.link.HidDevice = &device;
    deps_.link.Vid = vid;
    deps_.link.Pid = pid;
    vidText_ = Hex4(vid);
    pidText_ = Hex4(pid);
    productText_ = device.ProductName();
    deps_.view.ShowIdentity(vidText_, pidText_, productText_);
    found_ = true;
    deps_.controller.StopBackgroundReading(device);
    deps_.feedback.SetStatusText("USB UPS found");
    return true;
}

void HidDiscovery::LogDevice(const IHidDevice& device, const char* what) {
    deps_.log.AddLogLine("Device(s) VID:0x" + Hex4(device.VendorId()) + " PID:0x" + Hex4(device.ProductId()) +
                      " " + what);
}

void HidDiscovery::HIDArrival(IHidDevice& device) {
    LogDevice(device, "arrived");
    if (deps_.arrivalsIgnored && deps_.arrivalsIgnored()) return;
    DataLockGuard guard(deps_.lock);
    TUPSLink& link = deps_.link;
    if (link.Monitoring || !deps_.accepted.Accepts(device.VendorId(), device.ProductId())) return;
    link.UsbActive = FindUsbUps();
    if (link.UsbActive) link.Monitoring = deps_.detectProtocol();
    if (link.Monitoring) deps_.startMonitoring();
}

void HidDiscovery::HIDRemoval(IHidDevice& device) {
    LogDevice(device, "removed");
    DataLockGuard guard(deps_.lock);
    TUPSLink& link = deps_.link;
    if (!link.UsbActive || !deps_.accepted.Accepts(device.VendorId(), device.ProductId()) ||
        link.HidDevice != &device)
        return;
    link.UsbActive = false;
    link.Monitoring = false;
    link.HidDevice = nullptr;
    deps_.stopMonitoring();  // sees the link down
}

void HidDiscovery::HIDDeviceChange() { deps_.log.AddLogLine("Device(s) changed"); }

}  // namespace velt
