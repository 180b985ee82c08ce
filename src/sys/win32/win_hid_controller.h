#pragma once
// The HID device controller: keeps the list of HID devices, checks them out to
// the program and back, and on every change of the system's device set tells
// its listener, in this order, of each device gone, each device new, and that
// the set changed. Main thread only.
#include <functional>
#include <memory>
#include <vector>

#include "sys/hid_controller.h"
#include "sys/win32/hid_enumerator.h"
#include "sys/win32/win_hid_device.h"

namespace velt::win {

struct HidControllerListener {
    std::function<void(IHidDevice&)> arrival;
    std::function<void(IHidDevice&)> removal;
    std::function<void()> changed;
};

class WinHidController final : public IHidController {
public:
    using Enumerator = std::function<std::vector<HidDeviceInfo>()>;

    explicit WinHidController(HidControllerListener listener, Enumerator enumerate = EnumerateHidDevices)
        : listener_(std::move(listener)), enumerate_(std::move(enumerate)) {}

    // Compares the present devices with the list and notifies. The owner calls
    // it once right after creation, from the message loop, so devices present
    // at start-up arrive too; then on every WM_DEVICECHANGE DBT_DEVNODES_CHANGED.
    void Refresh();

    void Enumerate(const std::function<bool(IHidDevice&, size_t)>& handler) override;
    bool CheckOut(size_t index) override;
    void CheckIn(IHidDevice& device) override;
    void StopBackgroundReading(IHidDevice&) override {}  // nothing reads in the background here

private:
    struct Entry {
        std::unique_ptr<WinHidDevice> device;
        bool present = true;
        bool checkedOut = false;
    };
    Entry* Find(const IHidDevice& device);
    // Drops devices that are gone and not checked out. Never during a
    // notification: listeners hold references to devices.
    void Prune();

    HidControllerListener listener_;
    Enumerator enumerate_;
    std::vector<std::unique_ptr<Entry>> entries_;
    int notifying_ = 0;
};

}  // namespace velt::win
